#include "script/line_writer.h"

#include <charconv>
#include <cstring>

void LineWriter::Reset(char* buffer, std::size_t capacity) {
    m_pBuffer = buffer;
    m_nCapacity = buffer ? capacity : 0;
    m_nTotal = 0;
    m_nWritten = 0;
}

void LineWriter::WriteLine(std::optional<std::string_view> key,
                           std::optional<std::string_view> value) {
    std::string line;
    if (key) {
        line.reserve(key->size() + (value ? value->size() + 1 : 0) + 2);
        line.append(*key);
        if (value) {
            line.push_back('=');
            line.append(*value);
        }
    }
    line.append("\r\n");
    Put(line);
}

void LineWriter::WriteIntLine(std::string_view key, int number) {
    char digits[16];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, number);
    (void)ec; // an int always fits
    WriteLine(key, std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

void LineWriter::Put(const std::string& line) {
    m_nTotal += line.size();
    // The written bytes always equal the total while the pass succeeds, so the cursor is
    // where this line goes.
    if (m_nTotal < m_nCapacity && m_nWritten + line.size() == m_nTotal) {
        std::memcpy(m_pBuffer + m_nWritten, line.data(), line.size());
        m_nWritten += line.size();
    } else {
        m_bWriteOk = false;
    }
}
