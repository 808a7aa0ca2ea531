// Fuzzes the INI scanner and the line writer: every search and lookup on any bytes must end
// without a fault, and every search must make progress.
#include "script/ini_scanner.h"
#include "script/line_writer.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    IniScanner scanner(text, size);

    // Walk every header; each one found must move the cursor on.
    std::size_t last = 0;
    int headers = 0;
    for (std::string name = scanner.NextSectionName(false); !name.empty();
         name = scanner.NextSectionName(true)) {
        if (scanner.Position() <= last && headers > 0)
            std::abort();
        last = scanner.Position();
        if (++headers > static_cast<int>(size))
            std::abort();
        // Look up keys named after the first bytes of the header and some fixed ones.
        for (std::string_view key : {std::string_view(name).substr(0, 3), std::string_view("K"),
                                     std::string_view("Param1"), std::string_view("Message")}) {
            (void)scanner.ReadKey(key, "d");
            (void)scanner.ReadIntKey(key, 7);
            (void)scanner.ReadDoubleKey(key, 1.5);
        }
    }
    scanner.FindSection("Device", false);
    while (!scanner.ReadNextKey("K", "").empty()) {
    }
    (void)IniScanner::TextToInt(std::string_view(text, size));
    (void)IniScanner::TextToDouble(std::string_view(text, size));

    // The writer never writes past its capacity, whatever the lines.
    std::string buffer(size / 2 + 1, '\0');
    LineWriter writer(buffer.data(), buffer.size() - 1);
    std::string_view half(text, size / 2);
    writer.WriteLine(half, std::string_view(text + size / 2, size - size / 2));
    writer.WriteLine(half);
    writer.WriteLine(std::nullopt);
    writer.WriteIntLine(half, static_cast<int>(size));
    if (writer.Written() > writer.Capacity() || writer.Total() < writer.Written())
        std::abort();
    return 0;
}
