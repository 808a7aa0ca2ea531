// A protocol file held whole in memory and read with the INI scanner.
#pragma once

#include "script/ini_scanner.h"

#include <string>
#include <string_view>
#include <vector>

class IniFile {
public:
    IniFile() = default;
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    // Reads the whole file into the buffer. Failures show "Could not open %s for reading" or
    // "Not enough memory to allocate file buffer ( m_hpbBuffer )" and answer false.
    bool Open(const std::string& path);
    // Frees the buffer.
    void Close();

    bool FindSection(std::string_view name, bool continueSearch) {
        return m_Scanner.FindSection(name, continueSearch);
    }
    std::string NextSectionName(bool continueSearch) {
        return m_Scanner.NextSectionName(continueSearch);
    }
    std::string ReadKey(std::string_view key, std::string_view defaultText) const {
        return m_Scanner.ReadKey(key, defaultText);
    }
    // The section's keys in one pass; valid while the file stays open.
    IniScanner::SectionKeys ReadSectionKeys() const { return m_Scanner.ReadSectionKeys(); }

    std::size_t Size() const { return m_Buffer.size(); }
    std::size_t Position() const { return m_Scanner.Position(); }

private:
    std::vector<char> m_Buffer;
    IniScanner m_Scanner;
};
