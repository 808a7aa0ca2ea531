// The bounded line writer of the script source file: formats "key=value\r\n" lines into a
// buffer of fixed capacity. The running total counts every byte asked for, also past the
// capacity, so a pass over a buffer of capacity 0 measures what a full pass needs.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class LineWriter {
public:
    LineWriter() = default;
    LineWriter(char* buffer, std::size_t capacity) { Reset(buffer, capacity); }

    // Starts writing at the buffer's start (not owned): total 0, nothing written.
    void Reset(char* buffer, std::size_t capacity);

    // "key=value\r\n"; without a value the key text is a whole line ("key\r\n", for headers
    // and comment lines); without a key an empty line ("\r\n"). A line break inside the
    // texts is written as a blank (KeepOnOneLine). A line is copied only while
    // the new total stays strictly below the capacity; otherwise nothing is copied and the
    // write-ok flag is cleared. Texts of any length are taken whole.
    void WriteLine(std::optional<std::string_view> key,
                   std::optional<std::string_view> value = std::nullopt);
    // "key=number\r\n".
    void WriteIntLine(std::string_view key, int number);
    // Counts a line of `length` bytes (its line end included) as WriteLine does and answers
    // where its bytes go, or null when it does not fit (always in a pass of capacity 0); the
    // caller then puts exactly `length` bytes there. A long table is so written without a
    // text per line, and a counting pass need not make its lines at all.
    char* ClaimLine(std::size_t length);
    // Turns every CR and LF among `length` bytes into a blank, in place. Values have no escape
    // for a line break and the reader takes one as the end of its line, so no value may split
    // a line or start a section: every line's body goes through this before its line end.
    static void KeepOnOneLine(char* text, std::size_t length);

    // The write-ok flag of the current pass: the source-file writer sets it at the start of a
    // pass and answers it at the end.
    void SetWriteOk(bool ok) { m_bWriteOk = ok; }
    bool WriteOk() const { return m_bWriteOk; }

    // Bytes asked for so far (may exceed the capacity).
    std::size_t Total() const { return m_nTotal; }
    // Bytes copied into the buffer so far.
    std::size_t Written() const { return m_nWritten; }
    std::size_t Capacity() const { return m_nCapacity; }

private:
    char* m_pBuffer = nullptr;
    std::size_t m_nCapacity = 0;
    std::size_t m_nTotal = 0;
    std::size_t m_nWritten = 0;
    bool m_bWriteOk = true;
};
