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
    // Copied straight to the cursor, without a text of its own.
    std::string_view first;
    std::string_view second;
    if (key) {
        first = *key;
        if (value)
            second = *value;
    }
    const bool equals = key && value;
    const std::size_t length = first.size() + (equals ? 1 + second.size() : 0) + 2;
    char* out = ClaimLine(length);
    if (!out)
        return;
    auto put = [&out](std::string_view text) {
        if (!text.empty())
            std::memcpy(out, text.data(), text.size());
        out += text.size();
    };
    char* const body = out;
    put(first);
    if (equals) {
        *out++ = '=';
        put(second);
    }
    KeepOnOneLine(body, static_cast<std::size_t>(out - body));
    out[0] = '\r';
    out[1] = '\n';
}

void LineWriter::WriteIntLine(std::string_view key, int number) {
    char digits[16];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, number);
    (void)ec; // an int always fits
    WriteLine(key, std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

void LineWriter::KeepOnOneLine(char* text, std::size_t length) {
    for (char* end = text + length; text < end; ++text)
        if (*text == '\r' || *text == '\n')
            *text = ' ';
}

char* LineWriter::ClaimLine(std::size_t length) {
    m_nTotal += length;
    // The written bytes always equal the total while the pass succeeds, so the cursor is
    // where this line goes.
    if (m_nTotal < m_nCapacity && m_nWritten + length == m_nTotal) {
        char* at = m_pBuffer + m_nWritten;
        m_nWritten += length;
        return at;
    }
    m_bWriteOk = false;
    return nullptr;
}
