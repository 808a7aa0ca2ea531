// The bytes the program writes for two fixed scripts, pinned by hash: the shipped example and
// the largest script a controller holds (255 sequences of 200 events), each opened, saved as
// .ksf and compiled to its .DAT image. A change in how the model is stored or read must not
// move one byte of either file; a deliberate change of the formats updates these hashes.
#include "compile_fixture.h"

#include "bench/sample_script.h"

#include <cstdio>
#include <string>

namespace compile_testing {
namespace {

namespace fs = std::filesystem;

// FNV-1a, 64 bits: stable across builds and platforms, unlike std::hash.
std::string Fingerprint(const std::string& bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char text[48];
    std::snprintf(text, sizeof text, "%zu:%016llx", bytes.size(),
                  static_cast<unsigned long long>(hash));
    return text;
}

class OutputBytesGuard : public CompileTest {
protected:
    // Saves the document over `name` in the test's folder, reopens the saved file in a fresh
    // document (what the user's next session reads), saves that again and compiles it.
    // Answers the fingerprints of the first save, the second save and the image file.
    struct Outputs {
        std::string saved;
        std::string resaved;
        std::string image;
        std::string messages;
    };
    Outputs SaveReopenAndCompile(CVLDoc& doc, const std::string& name, int optimization = 0) {
        const fs::path script = folder_.Path() / name;
        EXPECT_TRUE(doc.OnSaveDocument(script.string()));
        Outputs out;
        out.saved = Fingerprint(ReadBinary(script));

        auto reopened = std::make_unique<CVLDoc>(app_.App());
        EXPECT_TRUE(reopened->OnOpenDocument(script.string()));
        reopened->SetPathName(script.string());
        const fs::path again = folder_.Path() / ("again_" + name);
        EXPECT_TRUE(reopened->OnSaveDocument(again.string()));
        out.resaved = Fingerprint(ReadBinary(again));

        reopened->AddView(&view_);
        reopened->m_nOptimization = optimization;
        for (auto& sequence : reopened->m_poSeqList)
            sequence->m_nNeedsCompile = 1;
        compiler::CompileMain(*reopened);
        reopened->RemoveView(&view_);
        const fs::path image = folder_.Path() / (fs::path(name).stem().string() + ".DAT");
        out.image = fs::exists(image) ? Fingerprint(ReadBinary(image)) : "no image";
        // The lines name the test's own folder, which differs per run.
        const std::string folder = folder_.Path().string();
        std::string lines;
        for (const auto& line : view_.lines) {
            std::string text = line.text;
            for (auto at = text.find(folder); at != std::string::npos; at = text.find(folder))
                text.replace(at, folder.size(), "<folder>");
            lines += text + '\n';
        }
        out.messages = Fingerprint(lines);
        return out;
    }
};

TEST_F(OutputBytesGuard, ShippedExampleSavesAndCompilesToTheSameBytes) {
    const fs::path shipped = fs::path(VELMORA_SOURCE_DIR) / "data/SCRIPTS/Fountain.ksf";
    const fs::path copy = folder_.Path() / "Fountain.ksf";
    fs::copy_file(shipped, copy);
    auto doc = std::make_unique<CVLDoc>(app_.App());
    ASSERT_TRUE(doc->OnOpenDocument(copy.string()));
    doc->SetPathName(copy.string());
    const Outputs out = SaveReopenAndCompile(*doc, "Fountain.ksf");
    EXPECT_EQ(out.saved, "10475:a85f42b01170b9c9");
    EXPECT_EQ(out.resaved, out.saved);
    EXPECT_EQ(out.image, "433:2ddaad2851087067");
    EXPECT_EQ(out.messages, "426:6e6f8cb1ebee02a0");
}

TEST_F(OutputBytesGuard, LargestScriptSavesAndCompilesToTheSameBytes) {
    bench_support::FillSampleScript(*doc_, 255, 200, 128);
    const Outputs out = SaveReopenAndCompile(*doc_, "Largest.ksf");
    EXPECT_EQ(out.saved, "2855668:49c74f1c5bb1abc3");
    EXPECT_EQ(out.resaved, out.saved);
    EXPECT_EQ(out.image, "no image"); // too large for the controller: the compile says so
    EXPECT_EQ(out.messages, "7530184:c95f95fad73a6148");
}

// The largest script does not fit an image; this one nearly fills the 65535 bytes, with half
// its events alike in every sequence so that a compile for size shares them.
TEST_F(OutputBytesGuard, FullImageCompilesToTheSameBytesForSpeedAndForSize) {
    for (int s = 0; s < 200; ++s) {
        CSeq& sequence = AddSequence("Scene" + std::to_string(s));
        for (int e = 0; e < 49; ++e) {
            const int frames = e % 2 == 0 ? e * 10 : e * 10 + s + 1;
            AddEvent(sequence, std::to_string(frames), e % 3 == 0 ? "Off" : "On",
                     "Output" + std::to_string(e % 32 + 1));
        }
    }
    const Outputs speed = SaveReopenAndCompile(*doc_, "Full.ksf", 0);
    EXPECT_EQ(speed.saved, "303495:6e53d99a89e00dae");
    EXPECT_EQ(speed.resaved, speed.saved);
    EXPECT_EQ(speed.image, "65083:a112011f03605042");
    EXPECT_EQ(speed.messages, "295:240a64ce9db2b8b3");
    const Outputs size = SaveReopenAndCompile(*doc_, "Full.ksf", 1);
    EXPECT_EQ(size.image, "45183:95a781dfe2b1922d");
    EXPECT_EQ(size.messages, "345:764007bde54276df");
}

} // namespace
} // namespace compile_testing
