#include "link/lzss_compressor.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FromText(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// Packs with a new object into a buffer with room to spare; answers the exact output.
Bytes Pack(const Bytes& in) {
    Bytes out(in.size() * 2 + 16);
    CYNCompressor compressor;
    const auto n = compressor.PackBuffer(in.data(), in.size(), out.data(), out.size());
    EXPECT_GE(n, 0);
    out.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
    return out;
}

Bytes Unpack(const Bytes& packed, std::size_t capacity) {
    Bytes out(capacity, 0xEE);
    CYNCompressor compressor;
    const auto n = compressor.UnpackBuffer(packed.data(), packed.size(), out.data(), out.size());
    EXPECT_GE(n, 0);
    out.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
    return out;
}

Bytes Random(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes v(n);
    for (auto& b : v)
        b = static_cast<std::uint8_t>(rng());
    return v;
}

// A script source as the archive holds it: sections of event lines with times and comments.
Bytes ScriptText(std::size_t atLeast) {
    std::string s = "[Script]\r\nName=Harbour Lights\r\nUnit=1\r\n";
    std::mt19937 rng(7);
    for (int seq = 1; s.size() < atLeast; ++seq) {
        s += "\r\n[Sequence " + std::to_string(seq) + "]\r\n";
        for (int ev = 0; ev < 20; ++ev) {
            const unsigned t = rng() % 6000;
            s += "Event" + std::to_string(ev) + "=" + std::to_string(t / 1500) + ":" +
                 std::to_string(t / 25 % 60) + "." + std::to_string(t % 25) + ",Relay " +
                 std::to_string(rng() % 64) + " On ; cue " + std::to_string(rng() % 500) + "\r\n";
        }
    }
    return FromText(s);
}

TEST(LzssCompressor, PacksTheReferenceStreamsBitForBit) {
    struct Case {
        std::string text;
        Bytes packed;
    };
    const Case cases[] = {
        // Three literals and the end bit.
        {"abc", {0xB0, 0xD8, 0xAC, 0x60}},
        // Three literals, a match (1, 17), a match (18, 4); the end bit fills the last byte.
        {"abcabcabcabcabcabcabcabc", {0xB0, 0xD8, 0xAC, 0x60, 0x0F, 0x82, 0x44}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Pack(FromText(c.text)), c.packed);
        EXPECT_EQ(Unpack(c.packed, 100), FromText(c.text));
    }
}

TEST(LzssCompressor, RoundTripsTextsOfEveryKind) {
    Bytes runs(70000);
    for (std::size_t i = 0; i < runs.size(); ++i)
        runs[i] = static_cast<std::uint8_t>(i / 300 % 3 == 0 ? 'x' : i % 7);
    Bytes highBytes(3000);
    for (std::size_t i = 0; i < highBytes.size(); ++i)
        highBytes[i] = static_cast<std::uint8_t>(i % 5 == 0 ? 0x80 + i % 3 : 0xFF - i % 2);
    const struct {
        const char* name;
        Bytes data;
    } cases[] = {
        {"one byte", FromText("Q")},         {"two equal bytes", FromText("zz")},
        {"zeros", Bytes(1000, 0)},           {"one byte repeated", Bytes(65000, 'A')},
        {"runs across the window", runs},    {"bytes above 0x7F", highBytes},
        {"random, short", Random(37, 1)},    {"random, over a window", Random(1500, 2)},
        {"random, large", Random(65000, 3)}, {"script text, large", ScriptText(64 * 1024)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes packed = Pack(c.data);
        EXPECT_EQ(Unpack(packed, c.data.size() + 10), c.data);
    }
}

TEST(LzssCompressor, RepetitiveTextPacksSmall) {
    const Bytes script = ScriptText(60000);
    EXPECT_LT(Pack(script).size(), script.size() / 2);
    EXPECT_LT(Pack(Bytes(65000, 'A')).size(), 65000u / 8);
}

TEST(LzssCompressor, EmptySourcePacksToNothing) {
    std::uint8_t out[4] = {1, 2, 3, 4};
    CYNCompressor compressor;
    EXPECT_EQ(compressor.PackBuffer(nullptr, 0, out, sizeof out), 0);
    EXPECT_EQ(out[0], 1);
    // And nothing expands to nothing.
    EXPECT_EQ(Unpack({}, 10), Bytes{});
}

TEST(LzssCompressor, PackingNeedsOneByteMoreThanTheOutput) {
    const Bytes inputs[] = {FromText("abc"), FromText("abcabcabcabcabcabcabcabc"), Random(5000, 4),
                            ScriptText(20000)};
    for (const auto& in : inputs) {
        const Bytes packed = Pack(in);
        // Exactly sized heap blocks, so ASan reports any write past the capacity.
        for (std::size_t capacity : {std::size_t{0}, std::size_t{1}, packed.size() / 2,
                                     packed.size() - 1, packed.size()}) {
            SCOPED_TRACE(capacity);
            auto out = std::make_unique<std::uint8_t[]>(capacity);
            CYNCompressor compressor;
            EXPECT_EQ(compressor.PackBuffer(in.data(), in.size(), out.get(), capacity), -1);
        }
        auto out = std::make_unique<std::uint8_t[]>(packed.size() + 1);
        CYNCompressor compressor;
        ASSERT_EQ(compressor.PackBuffer(in.data(), in.size(), out.get(), packed.size() + 1),
                  static_cast<std::ptrdiff_t>(packed.size()));
        EXPECT_EQ(Bytes(out.get(), out.get() + packed.size()), packed);
    }
}

TEST(LzssCompressor, ExpandingFillsTheCapacityExactlyButNoFurther) {
    const Bytes text = ScriptText(3000);
    const Bytes packed = Pack(text);
    {
        auto out = std::make_unique<std::uint8_t[]>(text.size());
        CYNCompressor compressor;
        EXPECT_EQ(compressor.UnpackBuffer(packed.data(), packed.size(), out.get(), text.size()),
                  static_cast<std::ptrdiff_t>(text.size()));
        EXPECT_EQ(Bytes(out.get(), out.get() + text.size()), text);
    }
    for (std::size_t capacity : {std::size_t{0}, std::size_t{2}, text.size() - 1}) {
        SCOPED_TRACE(capacity);
        auto out = std::make_unique<std::uint8_t[]>(capacity);
        CYNCompressor compressor;
        EXPECT_EQ(compressor.UnpackBuffer(packed.data(), packed.size(), out.get(), capacity), -1);
    }
}

TEST(LzssCompressor, ExpandingClearsTheWholeDestinationFirst) {
    Bytes out(16, 0xEE);
    CYNCompressor compressor;
    const Bytes packed = {0xB0, 0xD8, 0xAC, 0x60};
    ASSERT_EQ(compressor.UnpackBuffer(packed.data(), packed.size(), out.data(), out.size()), 3);
    EXPECT_EQ(out, (Bytes{'a', 'b', 'c', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(LzssCompressor, DamagedStreamsEndWithinTheirBytes) {
    const Bytes packed = Pack(ScriptText(4000));
    // A truncated stream ends with what it gave so far; exactly sized source blocks let ASan
    // catch a read past the end.
    for (std::size_t cut : {std::size_t{1}, std::size_t{2}, packed.size() / 3, packed.size() - 1}) {
        SCOPED_TRACE(cut);
        auto src = std::make_unique<std::uint8_t[]>(cut);
        std::copy(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(cut), src.get());
        Bytes out(8000);
        CYNCompressor compressor;
        const auto n = compressor.UnpackBuffer(src.get(), cut, out.data(), out.size());
        EXPECT_GE(n, 0);
        EXPECT_LT(n, 8000);
    }
    // Noise either expands into the buffer or reports the overflow.
    for (unsigned seed = 0; seed < 20; ++seed) {
        const Bytes noise = Random(200 + seed * 37, seed);
        Bytes out(300);
        CYNCompressor compressor;
        const auto n = compressor.UnpackBuffer(noise.data(), noise.size(), out.data(), out.size());
        EXPECT_GE(n, -1);
        EXPECT_LE(n, 300);
    }
}

TEST(LzssBitBuffer, ReadsYieldZeroOnceTheInputIsUsedUp) {
    const std::uint8_t data[] = {0xAD, 0xFF};
    CYNBitBuffer in = CYNBitBuffer::Reader(data, sizeof data);
    EXPECT_EQ(in.InputBits(4), 0xAu);
    EXPECT_TRUE(in.InputBit());
    EXPECT_FALSE(in.UsedUp());
    // Runs into the end of the last byte: the whole read yields 0.
    EXPECT_EQ(in.InputBits(12), 0u);
    EXPECT_TRUE(in.UsedUp());
    EXPECT_FALSE(in.InputBit());

    std::uint8_t out[2] = {};
    CYNBitBuffer writer = CYNBitBuffer::Writer(out, 1);
    writer.OutputBits(0x1FF, 9);
    writer.Flush();
    EXPECT_EQ(writer.ByteCount(), 2u);
    EXPECT_TRUE(writer.Overflowed());
    EXPECT_EQ(out[0], 0xFF);
    EXPECT_EQ(out[1], 0); // beyond the capacity: untouched
}

} // namespace
