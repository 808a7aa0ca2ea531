// LZSS packing over a 512-byte sliding window, the format of the script archive a show
// controller keeps. Controllers hold archives written by earlier releases, so the bit stream is
// a stored format: it must be produced and read exactly as it always was.
//
// Stream: bits most significant first. A literal is a 1 bit and the byte (8 bits); a match is a
// 0 bit, the window position (9 bits) and the length - 2 (4 bits); the end is a lone 0 bit,
// after which the last byte is completed with 0 bits. Window position 0 is never a match
// start, so a 0 position read from the exhausted input marks the end.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Writes or reads a bit stream in a byte buffer it borrows. Neither direction ever touches a
// byte outside the buffer.
class CYNBitBuffer {
public:
    // A writer into `capacity` bytes. Bytes beyond the capacity are counted but not stored.
    static CYNBitBuffer Writer(std::uint8_t* buffer, std::size_t capacity) {
        return CYNBitBuffer(buffer, nullptr, capacity);
    }
    // A reader of `length` bytes.
    static CYNBitBuffer Reader(const std::uint8_t* buffer, std::size_t length) {
        return CYNBitBuffer(nullptr, buffer, length);
    }

    void OutputBit(bool bit);
    // Writes the low `count` bits of `value` (at most 32), most significant first.
    void OutputBits(std::uint32_t value, int count);
    // Completes a partly written byte with 0 bits; nothing when the last byte is full.
    void Flush();

    // Once the input is used up every read yields 0; the expander relies on this for the end
    // mark.
    bool InputBit();
    // Reads `count` bits (at most 32). Yields 0 when the input is used up during the read.
    std::uint32_t InputBits(int count);

    // Writer: the bytes written, or that would have been written, including those beyond the
    // capacity.
    std::size_t ByteCount() const { return m_index; }
    // Writer: a byte fell beyond the capacity and was dropped.
    bool Overflowed() const { return m_index > m_size; }
    // Reader: the input is used up (a read found no byte left, or finished the last one).
    bool UsedUp() const { return m_usedUp; }

private:
    CYNBitBuffer(std::uint8_t* out, const std::uint8_t* in, std::size_t size)
        : m_out(out), m_in(in), m_size(size) {}

    std::uint8_t* m_out;
    const std::uint8_t* m_in;
    std::size_t m_size;         // capacity when writing, length when reading
    std::uint8_t m_mask = 0x80; // next bit; 0x80 when a new byte starts
    std::size_t m_index = 0;    // next byte
    std::uint8_t m_rack = 0;    // the byte being assembled or taken apart
    bool m_usedUp = false;
};

// Packs and expands byte buffers. The window is cleared only when the object is made and
// survives between calls: its old bytes steer the match search of a later pack, so packing
// gives the same stream only with a new object. Use a new object for every pack and every
// expansion.
class CYNCompressor {
public:
    static constexpr int kWindowSize = 512;
    static constexpr int kLookAhead = 17;

    CYNCompressor();

    // Answers the number of bytes written into `destination`, 0 for an empty source, or -1 when
    // the output reaches `capacity` (a result equal to the capacity is a failure too). Nothing
    // is written past the capacity.
    std::ptrdiff_t PackBuffer(const std::uint8_t* source, std::size_t sourceLength,
                              std::uint8_t* destination, std::size_t capacity);

    // Fills `destination` with zeros (capacity bytes), expands into it and answers the number
    // of bytes written, or -1 when the output would exceed `capacity` (filling it exactly
    // succeeds). A truncated or damaged stream ends the expansion with what was written so far;
    // nothing is read past `sourceLength`.
    std::ptrdiff_t UnpackBuffer(const std::uint8_t* source, std::size_t sourceLength,
                                std::uint8_t* destination, std::size_t capacity);

private:
    struct Node {
        std::int32_t parent = 0;
        std::int32_t smallerChild = 0;
        std::int32_t largerChild = 0;
    };
    static constexpr int kTreeRoot = kWindowSize;

    int AddString(int newNode, int& matchPosition);
    void DeleteString(int p);
    void ContractNode(int oldNode, int newNode);
    void ReplaceNode(int oldNode, int newNode);
    int FindNextNode(int node) const;

    std::array<std::uint8_t, kWindowSize> m_window{};
    std::array<Node, kWindowSize + 1> m_tree{};
};
