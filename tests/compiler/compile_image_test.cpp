// Whole compiles of scripts built in code, checked byte for byte against the image layout.
#include "compile_fixture.h"

#include "compiler/show_image.h"

namespace compile_testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Append(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A sequence header with no triggers set: every trigger goes on, no conditions, no codes.
Bytes PlainSequenceHeader(std::uint8_t events) {
    return {events, 0,    0xF0, 0,    0,    0,    0xFF, 0,    0xFF, 0, 0xFF, 0, 0xFF,
            0xFF,   0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0,    0, 0,    0};
}

// The image of the two-sequence script of ImageTest, for speed or for size.
Bytes ExpectedImage(bool forSize) {
    Bytes image = {0, 0, 0,  0, 7,  8, 2, 0, 0,   2, 0, 0, 0, 0, 0, 0x80,
                   0, 0, 40, 0, 74, 0, 0, 0, 102, 0, 0, 5, 1, 0, 0, 0};
    image = Append(image, {91, 0, 129, 0, 116, 0, 154, 0});
    Bytes settings(17, 4);
    settings[1] = 0x05; // 19200, no parity, 9 data bits, 1 stop bit
    Bytes types(17, 2);
    types[1] = 0; // OstrelBus
    image = Append(image, settings);
    image = Append(image, types);
    image = Append(image, Bytes(17, 0xFF));
    // Sequence 0 at 91: Nop at 0, On Output1 at 30 frames.
    image = Append(image, PlainSequenceHeader(2));
    image = Append(image, {122, 0, 125, 0, 0, 0});
    image = Append(image, {0, 0, 0x00, 30, 0, 0x10, 0x00});
    // Sequence 1 at 129: the same Nop, stored once when compiled for size.
    image = Append(image, PlainSequenceHeader(1));
    if (forSize) {
        image = Append(image, {122, 0, 0, 0});
    } else {
        image = Append(image, {158, 0, 0, 0});
        image = Append(image, {0, 0, 0x00});
    }
    const std::uint16_t length = static_cast<std::uint16_t>(image.size() - 2);
    image[2] = static_cast<std::uint8_t>(length & 0xFF);
    image[3] = static_cast<std::uint8_t>(length >> 8);
    std::uint32_t sum = 0;
    for (std::size_t i = 2; i < image.size(); ++i)
        sum += image[i];
    image[0] = static_cast<std::uint8_t>(sum & 0xFF);
    image[1] = static_cast<std::uint8_t>((sum >> 8) & 0xFF);
    return image;
}

class ImageTest : public CompileTest {
protected:
    void SetUp() override {
        CompileTest::SetUp();
        doc_->m_wAddress = 7;
        CProductPort& port = doc_->m_pProduct->m_Ports[1];
        port.m_strProtocol = "Brevant_Ostrel_Backplane";
        port.m_strBaudRate = "19200";
        port.m_strParity = "N";
        port.m_strDataBits = "9";
        port.m_strStopBits = "1";
        CSeq& main = AddSequence("Main");
        AddEvent(main, "00:00.00", "Nop");
        AddEvent(main, "00:01.00", "On", "Output1");
        CSeq& second = AddSequence("Second");
        AddEvent(second, "00:00.00", "Nop");
    }
};

TEST_F(ImageTest, SpeedCompileStoresEveryEventInItsOwnSequence) {
    Compile();
    ASSERT_EQ(GetCompilerState().errorCount, 0u) << testing::PrintToString(view_.Texts());
    EXPECT_EQ(GetCompilerState().warningCount, 0u);
    const Bytes expected = ExpectedImage(false);
    EXPECT_EQ(DocImage(), expected);
    const std::string file = ReadBinary(ImageFile());
    EXPECT_EQ(Bytes(file.begin(), file.end()), expected);
    EXPECT_EQ(doc_->m_nCompiledOK, 1);
    ASSERT_NE(view_.Find("Writing Show1.DAT"), nullptr);
}

TEST_F(ImageTest, SizeCompileStoresIdenticalEventsOnce) {
    doc_->m_nOptimization = 1;
    doc_->m_nMessages = 1;
    Compile();
    ASSERT_EQ(GetCompilerState().errorCount, 0u) << testing::PrintToString(view_.Texts());
    const Bytes expected = ExpectedImage(true);
    EXPECT_EQ(DocImage(), expected);
    const std::string file = ReadBinary(ImageFile());
    EXPECT_EQ(Bytes(file.begin(), file.end()), expected);
    EXPECT_NE(view_.Find("Number of bytes saved by compiling for size: 3"), nullptr);
    EXPECT_NE(view_.Find("00:00.00 Nop    Duplicate Event!"), nullptr);
    EXPECT_EQ(doc_->m_poSeqList[1]->m_poEventList[0]->m_nSharedCompile, 1);
    // After a size compile every sequence stays marked, so the next speed compile rebuilds it.
    EXPECT_EQ(doc_->m_poSeqList[0]->m_nNeedsCompile, 1);
    EXPECT_NE(view_.Find("     Compiled script size: " + std::to_string(expected.size()) + "."),
              nullptr);
}

TEST_F(ImageTest, SpeedCompileLinksUnchangedSequencesFromTheLastRun) {
    doc_->m_nMessages = 1;
    Compile();
    ASSERT_EQ(doc_->m_poSeqList[0]->m_nNeedsCompile, 0);
    // A change the model did not mark is not seen: the earlier compiled bytes are linked.
    doc_->m_poSeqList[0]->m_poEventList[1]->m_strData1 = "Output2";
    Compile();
    EXPECT_NE(view_.Find("Linking already compiled sequence Main"), nullptr);
    EXPECT_EQ(DocImage(), ExpectedImage(false));
    doc_->m_poSeqList[0]->m_nNeedsCompile = 1;
    Compile();
    EXPECT_NE(view_.Find("Compiling sequence Main"), nullptr);
    EXPECT_EQ(doc_->m_hpbShow[128], 1) << "Output2 is output code 1";
}

TEST_F(ImageTest, ScriptReadFromItsFileCompilesToTheSameImage) {
    ASSERT_TRUE(doc_->WriteScriptToBuffer(CVLDoc::kWriteAll, 1,
                                          static_cast<int>(doc_->m_poSeqList.size())));
    const std::filesystem::path file = folder_.Path() / "Read.ksf";
    WriteBinary(file, std::string(doc_->WrittenText()));

    const std::filesystem::path saved = std::filesystem::current_path();
    CVLDoc read(app_.App());
    const bool opened = read.OnOpenDocument(file.string());
    std::filesystem::current_path(saved);
    ASSERT_TRUE(opened) << testing::PrintToString(ui_.Texts());
    read.SetPathName(file.string());
    RecordingCompileView view;
    read.AddView(&view);
    compiler::CompileMain(read);
    read.RemoveView(&view);
    ASSERT_EQ(GetCompilerState().errorCount, 0u) << testing::PrintToString(view.Texts());
    EXPECT_EQ(Bytes(read.m_hpbShow.begin(), read.m_hpbShow.begin() + read.m_wImageLength),
              ExpectedImage(false));
    EXPECT_TRUE(std::filesystem::exists(folder_.Path() / "Read.DAT"));
}

TEST_F(ImageTest, BannerPhasesAndSummaryAreLoggedInOrder) {
    Compile();
    const std::vector<std::string> texts = view_.Texts();
    ASSERT_GE(texts.size(), 9u);
    EXPECT_EQ(texts[0], "Velmora Tarnix Incremental Compiler Version 1.02");
    EXPECT_EQ(texts[1], "Optimizing for Speed");
    EXPECT_EQ(texts[2], "");
    EXPECT_EQ(texts[3], "Compiling " + doc_->GetPathName() + "...");
    EXPECT_EQ(texts[4], "");
    EXPECT_EQ(texts[5], "Compiling Configuration...");
    EXPECT_EQ(texts[6], "");
    EXPECT_EQ(texts[7], "Compiling Sequences...");
    const std::vector<std::string> tail(texts.end() - 5, texts.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"Writing Show1.DAT", "",
                                              "Show1.ksf compiled with 0 Error(s), 0 Warning(s)",
                                              "Script Compiled Successfully",
                                              "Script not Downloaded, Communications Offline"}));
    EXPECT_EQ(view_.lines.back().colour, kColourRed);
    EXPECT_EQ(view_.lines[view_.lines.size() - 2].colour, kColourBlue);
    EXPECT_EQ(view_.clears, 1);
    for (const auto& line : view_.lines) {
        if (line.colour == kColourDefault) {
            EXPECT_EQ(line.kind, 0);
            EXPECT_EQ(line.resource, -1);
        }
    }

    doc_->m_nOptimization = 1;
    Compile();
    EXPECT_EQ(view_.clears, 2);
    EXPECT_EQ(view_.lines[0].text, "Velmora Tarnix Compressing Compiler Version 1.02");
    EXPECT_EQ(view_.lines[1].text, "Optimizing for Size");
}

TEST_F(ImageTest, ChecksumCoversEveryByteAfterItsWord) {
    Compile();
    Bytes image = DocImage();
    ASSERT_GT(image.size(), 27u);
    const std::uint16_t before = ImageChecksum(image);
    EXPECT_EQ(before, image[0] | (image[1] << 8));
    image[26] = static_cast<std::uint8_t>(image[26] + 3);
    EXPECT_EQ(ImageChecksum(image), static_cast<std::uint16_t>(before + 3));
}

TEST_F(ImageTest, ResultsDoNotDependOnTheLocale) {
    doc_->m_wClockSource = 1;
    doc_->m_strExternalFrequency = "2997.5";
    doc_->m_wFrameRate = 2;
    Compile();
    const Bytes plain = DocImage();
    EXPECT_EQ(plain[10], 103) << "2997.5 Hz / 29";

    struct DecimalComma : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\3"; }
    };
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new DecimalComma));
    Compile();
    std::locale::global(previous);
    EXPECT_EQ(DocImage(), plain);
}

} // namespace
} // namespace compile_testing
