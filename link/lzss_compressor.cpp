#include "link/lzss_compressor.h"

#include <algorithm>
#include <cstring>

// ---- CYNBitBuffer ----

void CYNBitBuffer::OutputBit(bool bit) {
    if (bit)
        m_rack |= m_mask;
    m_mask >>= 1;
    if (m_mask == 0) {
        // A full byte goes out only while it fits; the count goes on so the caller sees the
        // overflow.
        if (m_index < m_size)
            m_out[m_index] = m_rack;
        ++m_index;
        m_rack = 0;
        m_mask = 0x80;
    }
}

void CYNBitBuffer::OutputBits(std::uint32_t value, int count) {
    for (int bit = count - 1; bit >= 0; --bit)
        OutputBit(((value >> bit) & 1U) != 0);
}

void CYNBitBuffer::Flush() {
    if (m_mask == 0x80)
        return;
    if (m_index < m_size)
        m_out[m_index] = m_rack;
    ++m_index;
    m_rack = 0;
    m_mask = 0x80;
}

bool CYNBitBuffer::InputBit() {
    if (m_usedUp)
        return false;
    if (m_mask == 0x80) {
        if (m_index >= m_size) {
            m_usedUp = true;
            return false;
        }
        m_rack = m_in[m_index++];
    }
    const bool bit = (m_rack & m_mask) != 0;
    m_mask >>= 1;
    if (m_mask == 0) {
        m_mask = 0x80;
        if (m_index >= m_size)
            m_usedUp = true;
    }
    return bit;
}

std::uint32_t CYNBitBuffer::InputBits(int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        const bool bit = InputBit();
        // The end mark relies on a read that runs into the end of the input yielding 0 as a
        // whole, also when it took a few real bits from the last byte first.
        if (m_usedUp)
            return 0;
        value = (value << 1) | (bit ? 1U : 0U);
    }
    return value;
}

// ---- CYNCompressor ----

namespace {

constexpr int kIndexBits = 9;
constexpr int kLengthBits = 4;
// A match of this length or shorter costs more than literals.
constexpr int kBreakEven = 1;
constexpr int kEndOfStream = 0;
constexpr int kUnused = 0;

constexpr int ModWindow(int a) {
    return a & (CYNCompressor::kWindowSize - 1);
}

} // namespace

CYNCompressor::CYNCompressor() = default;

std::ptrdiff_t CYNCompressor::PackBuffer(const std::uint8_t* source, std::size_t sourceLength,
                                         std::uint8_t* destination, std::size_t capacity) {
    if (sourceLength == 0)
        return 0;

    CYNBitBuffer out = CYNBitBuffer::Writer(destination, capacity);
    std::size_t next = 0;
    int lookAheadBytes = 0;
    for (; lookAheadBytes < kLookAhead && next < sourceLength; ++lookAheadBytes)
        m_window[static_cast<std::size_t>(1 + lookAheadBytes)] = source[next++];

    m_tree.fill(Node{});
    m_tree[kTreeRoot].largerChild = 1;
    m_tree[1].parent = kTreeRoot;

    int currentPosition = 1;
    int matchLength = 0;
    int matchPosition = 0;
    while (lookAheadBytes > 0) {
        matchLength = std::min(matchLength, lookAheadBytes);
        int replaceCount;
        if (matchLength <= kBreakEven) {
            replaceCount = 1;
            out.OutputBit(true);
            out.OutputBits(m_window[static_cast<std::size_t>(currentPosition)], 8);
        } else {
            replaceCount = matchLength;
            out.OutputBit(false);
            out.OutputBits(static_cast<std::uint32_t>(matchPosition), kIndexBits);
            out.OutputBits(static_cast<std::uint32_t>(matchLength - (kBreakEven + 1)), kLengthBits);
        }
        if (out.ByteCount() >= capacity)
            return -1;

        for (int i = 0; i < replaceCount; ++i) {
            const int incoming = ModWindow(currentPosition + kLookAhead);
            DeleteString(incoming);
            // Past the end of the source the old window bytes stay: they take part in the
            // comparisons, and matches are cut to the look-ahead count.
            if (next < sourceLength)
                m_window[static_cast<std::size_t>(incoming)] = source[next++];
            else
                --lookAheadBytes;
            currentPosition = ModWindow(currentPosition + 1);
            // Read as "if": the look-ahead count does not change while inserting.
            if (lookAheadBytes > 0)
                matchLength = AddString(currentPosition, matchPosition);
        }
    }

    out.OutputBit(false);
    out.Flush();
    if (out.ByteCount() >= capacity)
        return -1;
    return static_cast<std::ptrdiff_t>(out.ByteCount());
}

std::ptrdiff_t CYNCompressor::UnpackBuffer(const std::uint8_t* source, std::size_t sourceLength,
                                           std::uint8_t* destination, std::size_t capacity) {
    if (capacity > 0)
        std::memset(destination, 0, capacity);
    if (source == nullptr)
        sourceLength = 0;

    CYNBitBuffer in = CYNBitBuffer::Reader(source, sourceLength);
    std::size_t written = 0;
    int currentPosition = 1;
    auto append = [&](std::uint8_t c) {
        if (written >= capacity)
            return false;
        destination[written++] = c;
        m_window[static_cast<std::size_t>(currentPosition)] = c;
        currentPosition = ModWindow(currentPosition + 1);
        return true;
    };

    for (;;) {
        if (in.InputBit()) {
            if (!append(static_cast<std::uint8_t>(in.InputBits(8))))
                return -1;
            continue;
        }
        const int matchPosition = static_cast<int>(in.InputBits(kIndexBits));
        if (matchPosition == kEndOfStream && in.UsedUp())
            return static_cast<std::ptrdiff_t>(written);
        const int matchLength = static_cast<int>(in.InputBits(kLengthBits)) + kBreakEven + 1;
        for (int i = 0; i < matchLength; ++i) {
            // Byte by byte: a match may repeat bytes it has just stored.
            if (!append(m_window[static_cast<std::size_t>(ModWindow(matchPosition + i))]))
                return -1;
        }
    }
}

// Inserts the string at `newNode` and answers the longest match found on the way. Among
// equally long matches the one met later, deeper in the tree, wins. A full-length match
// replaces the older node, which leaves the tree.
int CYNCompressor::AddString(int newNode, int& matchPosition) {
    if (newNode == kEndOfStream)
        return 0;
    int testNode = m_tree[kTreeRoot].largerChild;
    if (testNode == kUnused) {
        // Not reached while packing (the last inserted node is always present), kept so the
        // tree can never be walked from node 0.
        m_tree[kTreeRoot].largerChild = newNode;
        m_tree[static_cast<std::size_t>(newNode)] = Node{kTreeRoot, kUnused, kUnused};
        return 0;
    }
    int matchLength = 0;
    for (;;) {
        int i = 0;
        int delta = 0;
        for (; i < kLookAhead; ++i) {
            // Bytes compare as unsigned values 0-255.
            delta = static_cast<int>(m_window[static_cast<std::size_t>(ModWindow(newNode + i))]) -
                    static_cast<int>(m_window[static_cast<std::size_t>(ModWindow(testNode + i))]);
            if (delta != 0)
                break;
        }
        if (i >= matchLength) {
            matchLength = i;
            matchPosition = testNode;
            if (matchLength >= kLookAhead) {
                ReplaceNode(testNode, newNode);
                return matchLength;
            }
        }
        Node& test = m_tree[static_cast<std::size_t>(testNode)];
        std::int32_t& child = delta >= 0 ? test.largerChild : test.smallerChild;
        if (child == kUnused) {
            child = newNode;
            m_tree[static_cast<std::size_t>(newNode)] = Node{testNode, kUnused, kUnused};
            return matchLength;
        }
        testNode = child;
    }
}

void CYNCompressor::DeleteString(int p) {
    if (m_tree[static_cast<std::size_t>(p)].parent == kUnused)
        return;
    const Node& node = m_tree[static_cast<std::size_t>(p)];
    if (node.largerChild == kUnused) {
        ContractNode(p, node.smallerChild);
    } else if (node.smallerChild == kUnused) {
        ContractNode(p, node.largerChild);
    } else {
        const int replacement = FindNextNode(p);
        DeleteString(replacement);
        ReplaceNode(p, replacement);
    }
}

// `newNode` (possibly none) takes the place of `oldNode`, which leaves the tree. Node 0 is no
// tree node, so an empty place never gives it a parent: a stray parent on node 0 would make
// its later deletion cut a live subtree off.
void CYNCompressor::ContractNode(int oldNode, int newNode) {
    const int parent = m_tree[static_cast<std::size_t>(oldNode)].parent;
    if (newNode != kUnused)
        m_tree[static_cast<std::size_t>(newNode)].parent = parent;
    Node& up = m_tree[static_cast<std::size_t>(parent)];
    if (up.largerChild == oldNode)
        up.largerChild = newNode;
    else
        up.smallerChild = newNode;
    m_tree[static_cast<std::size_t>(oldNode)].parent = kUnused;
}

// `newNode`, not in the tree, takes `oldNode`'s parent and both children.
void CYNCompressor::ReplaceNode(int oldNode, int newNode) {
    const int parent = m_tree[static_cast<std::size_t>(oldNode)].parent;
    Node& up = m_tree[static_cast<std::size_t>(parent)];
    if (up.smallerChild == oldNode)
        up.smallerChild = newNode;
    else
        up.largerChild = newNode;
    const Node moved = m_tree[static_cast<std::size_t>(oldNode)];
    m_tree[static_cast<std::size_t>(newNode)] = moved;
    if (moved.smallerChild != kUnused)
        m_tree[static_cast<std::size_t>(moved.smallerChild)].parent = newNode;
    if (moved.largerChild != kUnused)
        m_tree[static_cast<std::size_t>(moved.largerChild)].parent = newNode;
    m_tree[static_cast<std::size_t>(oldNode)].parent = kUnused;
}

// The largest node of the smaller subtree: the one that can take a deleted node's place.
int CYNCompressor::FindNextNode(int node) const {
    int next = m_tree[static_cast<std::size_t>(node)].smallerChild;
    while (m_tree[static_cast<std::size_t>(next)].largerChild != kUnused)
        next = m_tree[static_cast<std::size_t>(next)].largerChild;
    return next;
}
