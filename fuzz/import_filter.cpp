// The renaming table of the DOS script import (Utilities/IMPORT.FLT): any bytes give pairs
// whose names are whole words, and every stored old name is found again.
#include "script/import_table.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CImportTable table;
    table.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const auto& pair : table.Pairs()) {
        const std::string_view oldName = pair->m_strOldName;
        const std::string_view newName = pair->m_strNewName;
        // A comma ends an old name, so one can only lead it.
        if (oldName.empty() || newName.empty() ||
            oldName.find_first_of(" \t\n\r;") != std::string_view::npos ||
            oldName.find(',', 1) != std::string_view::npos ||
            newName.find_first_of(" \t\n\r;") != std::string_view::npos)
            __builtin_trap();
        if (table.Lookup(oldName) == nullptr)
            __builtin_trap();
    }
    return 0;
}
