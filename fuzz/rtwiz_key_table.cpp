// rtwiz.cfg is a text file anyone may edit: reading it must end, keep every text within the line
// it came from, and give the same table when read twice.
#include "views/sequences/rtwiz_key_table.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    rtwiz::KeyTable table;
    table.Parse(text);
    rtwiz::KeyTable again;
    again.Parse(text);
    for (int code = 0; code < rtwiz::KeyTable::kCodes; ++code) {
        const rtwiz::KeyAssignment& a = table.At(code);
        if (!(a == again.At(code)))
            std::abort();
        // No text holds a line break, and none is longer than the input.
        for (const std::string* t :
             {&a.event, &a.data[0], &a.data[1], &a.data[2], &a.data[3], &a.comment}) {
            if (t->size() > size || t->find('\n') != std::string::npos ||
                t->find('\r') != std::string::npos)
                std::abort();
        }
        // Unreachable codes stay empty: keys are '!' to DEL, plain or shifted.
        const int plain = code & 0x7F;
        if (plain < 0x21 && !(a == rtwiz::KeyAssignment{}))
            std::abort();
    }
    return 0;
}
