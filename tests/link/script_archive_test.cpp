// The script archive: the packed source behind its header, stored in the emulated controller
// after a download and retrieved from it into a new script document.
#include "link/script_archive.h"

#include "link/comm_dialog.h"
#include "link/controller_protocol.h"
#include "link/log_format.h"
#include "link/vl_doc_link.h"
#include "tests/compiler/compile_fixture.h"
#include "tests/link/link_fixtures.h"
#include "tests/support/fast_waits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

using compile_testing::ReadBinary;
using compile_testing::RecordingCompileView;
using showlink::kArchiveHeaderSize;
using testing_support::EmulatorOptions;

std::string RandomText(std::size_t n, unsigned seed, std::string_view alphabet) {
    std::mt19937 rng(seed);
    std::string text(n, ' ');
    for (char& c : text) {
        c = alphabet[rng() % alphabet.size()];
    }
    return text;
}

constexpr std::string_view kAlphanumeric =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// Header and packed bytes of `text`, as the controller keeps them.
std::vector<std::uint8_t> ArchiveOf(std::string_view text, const std::string& scriptName,
                                    int checksumError = 0) {
    auto packed = showlink::PackArchiveText(text);
    EXPECT_TRUE(packed.has_value());
    auto header = showlink::MakeArchiveHeader(*packed, scriptName);
    header[0] = static_cast<std::uint8_t>(header[0] + checksumError);
    std::vector<std::uint8_t> archive(header.begin(), header.end());
    archive.insert(archive.end(), packed->begin(), packed->end());
    return archive;
}

TEST(ScriptArchiveFormat, HeaderCarriesSumLengthAndPaddedName) {
    const std::vector<std::uint8_t> packed{0xB0, 0xD8, 0xAC, 0x60, 0xFF, 0xFF};
    const auto header = showlink::MakeArchiveHeader(packed, "SHOW");
    const unsigned sum = 0xB0 + 0xD8 + 0xAC + 0x60 + 0xFF + 0xFF;
    EXPECT_EQ(header[0], sum & 0xFF);
    EXPECT_EQ(header[1], sum >> 8);
    EXPECT_EQ(header[2], 6);
    EXPECT_EQ(header[3], 0);
    EXPECT_EQ(header[4], 0x10);
    EXPECT_EQ(header[5], 0x00);
    EXPECT_EQ(header[6], 64);
    EXPECT_EQ(std::string(header.begin() + 7, header.begin() + 15), "SHOW.KSF");
    EXPECT_TRUE(std::all_of(header.begin() + 15, header.end(), [](auto b) { return b == 0; }));

    const auto back = showlink::ReadArchiveHeader(header.data());
    EXPECT_EQ(back.checksum, sum);
    EXPECT_EQ(back.compressedLength, 6);
    EXPECT_EQ(back.name, "SHOW.KSF");

    // A long name is cut at 64 bytes; byte 6 stays 64.
    const auto longHeader = showlink::MakeArchiveHeader(packed, std::string(70, 'N'));
    EXPECT_EQ(longHeader[6], 64);
    EXPECT_EQ(showlink::ReadArchiveHeader(longHeader.data()).name, std::string(64, 'N'));

    // The name is read over the stored name length only, without its zero bytes.
    auto odd = header;
    odd[6] = 3;
    odd[8] = 0;
    EXPECT_EQ(showlink::ReadArchiveHeader(odd.data()).name, "SO");
    odd[6] = 200; // more than the field: the field's 64 bytes
    EXPECT_EQ(showlink::ReadArchiveHeader(odd.data()).name, "SOW.KSF");
}

TEST(ScriptArchiveFormat, PackedTextsExpandToThemselves) {
    std::string script;
    for (int s = 1; script.size() < 70000; ++s) {
        script += "[Sequence" + std::to_string(s) + "]\r\nName=Scene " + std::to_string(s) +
                  "\r\nEvent=00:0" + std::to_string(s % 10) + ".00,On,Output" +
                  std::to_string(s % 16 + 1) + ",,,,cue\r\n";
    }
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"empty", ""},
        {"tiny", "K"},
        {"repetitive", std::string(40000, 'a') + std::string(3000, 'b')},
        {"random", RandomText(20000, 7, kAlphanumeric)},
        {"random bytes", RandomText(5000, 9, std::string_view("\0\x01\xFF\x7F\r\n", 6))},
        {"large script", script},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto packed = showlink::PackArchiveText(c.text);
        ASSERT_TRUE(packed.has_value());
        EXPECT_LT(packed->size(), showlink::kArchivePackCapacity);
        const auto archive = ArchiveOf(c.text, "SHOW");
        const auto header = showlink::ReadArchiveHeader(archive.data());
        ASSERT_EQ(header.compressedLength, archive.size() - kArchiveHeaderSize);
        EXPECT_EQ(header.checksum, showlink::ArchiveChecksum(archive.data() + kArchiveHeaderSize,
                                                             header.compressedLength));
        const auto text = showlink::ExpandArchiveText(archive.data() + kArchiveHeaderSize,
                                                      header.compressedLength);
        ASSERT_TRUE(text.has_value());
        EXPECT_EQ(*text, c.text);
    }
}

TEST(ScriptArchiveFormat, OverflowsOnEitherSideAreRefused) {
    // Text that does not pack below 65000 bytes cannot be archived at all.
    EXPECT_FALSE(showlink::PackArchiveText(RandomText(70000, 3, kAlphanumeric)).has_value());
    // A stream that would expand past the 500000-byte buffer is refused, not cut.
    const auto packed = showlink::PackArchiveText(std::string(600000, 'a'));
    ASSERT_TRUE(packed.has_value());
    EXPECT_FALSE(showlink::ExpandArchiveText(packed->data(), packed->size()).has_value());
    const auto fits = showlink::PackArchiveText(std::string(showlink::kArchiveExpandCapacity, 'a'));
    ASSERT_TRUE(fits.has_value());
    EXPECT_EQ(showlink::ExpandArchiveText(fits->data(), fits->size())->size(),
              showlink::kArchiveExpandCapacity);
}

TEST(ScriptArchiveFormat, StoredNamesBecomePlainFileNames) {
    const struct {
        std::string stored;
        std::string plain;
    } cases[] = {
        {"SHOW.KSF", "SHOW.KSF"},
        {"../../etc/passwd", "passwd"},
        {"C:\\Shows\\Harbour.KSF", "Harbour.KSF"},
        {"D:Harbour.KSF", "Harbour.KSF"},
        {"Ha\x01rb\nour\x7F.KSF", "Harbour.KSF"},
        {"", "Archive.KSF"},
        {"shows/", "Archive.KSF"},
        {"..", "Archive.KSF"},
        {"\x02\x03", "Archive.KSF"},
        {"My Show.KSF", "My Show.KSF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(showlink::PlainArchiveFileName(c.stored), c.plain) << c.stored;
    }
}

// A script document with a compile view and the emulated controller on COM1; the archive store
// is plugged into the download.
class ScriptArchive : public compile_testing::CompileTest {
protected:
    // Time-outs and pauses run ten times faster (declared first: it outlives the peers).
    platform::FastWaits fastWaits_{testing_support::kFastWaitFactor};

    void SetUp() override {
        CompileTest::SetUp();
        link.settings.serialTimeout = 1000;
        link.settings.serialDelay = 0;
        link.settings.serialBandwidth = 256;
        link.settings.noCompilerPopups = false;
        doc_->m_wAddress = 5;
        app_.App().entries.countComPorts = [] { return CountComPorts(); };
        app_.App().m_wNewDocMode = CVLApp::kNewUploadFromUnit;
    }
    void TearDown() override {
        if (retrieved_) {
            retrieved_->RemoveView(&retrievedView_);
            retrieved_.reset();
        }
        CompileTest::TearDown();
    }

    // `sequences` sequences of `events` events, with resource names and a data string.
    void BuildScript(int sequences, int events, const std::string& comment = "from the desk") {
        doc_->m_pProduct->m_Outputs[0].m_strName = "Fountain";
        doc_->m_pProduct->m_Outputs[0].m_strComment = "north basin";
        doc_->m_poDataStrList.push_back(std::make_unique<CDataStr>("Hello", "\"Hi\"", "greet"));
        for (int s = 1; s <= sequences; ++s) {
            CSeq& seq = AddSequence("Scene_" + std::to_string(s));
            for (int e = 0; e < events; ++e) {
                char time[16];
                std::snprintf(time, sizeof time, "%02d:%02d.%02d", e / 60, e % 60, s % 30);
                CEvnt& event =
                    AddEvent(seq, time, e % 2 ? "On" : "Off", e % 3 ? "Fountain" : "Output2");
                event.m_strComment = e % 5 ? std::string() : comment;
                event.m_strLabel = e % 7 ? std::string() : "Cue" + std::to_string(e);
            }
        }
    }

    // The script's source text as saving writes it.
    std::string SourceText(CVLDoc& doc) {
        EXPECT_TRUE(doc.WriteScriptToBuffer(CVLDoc::kWriteAll, 1,
                                            static_cast<int>(doc.m_poSeqList.size())));
        std::string text(doc.WrittenText());
        doc.FreeFileBuffer();
        return text;
    }

    // A new document as "Upload Script from Unit" makes it, with its compile view.
    CVLDoc& NewUploadDocument() {
        retrieved_ = std::make_unique<CVLDoc>(app_.App());
        EXPECT_TRUE(retrieved_->OnNewDocument());
        retrieved_->AddView(&retrievedView_);
        return *retrieved_;
    }

    // Retrieves into a new upload document, accepting the communication dialog.
    bool Retrieve() {
        CVLDoc& doc = NewUploadDocument();
        ui_.QueueDialog([](platform::DialogRequest& r) {
            auto& dialog = dynamic_cast<CommDialogRequest&>(r);
            EXPECT_TRUE(dialog.m_bRetrieve);
            EXPECT_EQ(dialog.m_strMessage, "Please select method of retrieval");
            return true;
        });
        return showlink::RetrieveArchive(doc);
    }

    // A link opened and addressed as the download leaves it for the store.
    static std::unique_ptr<CSerialLink> OpenLink() {
        auto serial = std::make_unique<CSerialLink>();
        EXPECT_EQ(serial->Open(ComPortIndex(0), Framing::NineBit, kControllerBaud), "");
        serial->SetAddress(showlink::kAddressAll);
        serial->SetUnit(5);
        return serial;
    }
    bool StoreOverOpenLink() { return showlink::StoreArchive(*doc_, *OpenLink()); }

    bool BoxShown(const std::string& text) const {
        const auto texts = ui_.Texts();
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
    static bool Sent(const link_tests::EmulatedPort& port, std::uint8_t command) {
        for (const auto& request : port.emulator.Requests()) {
            if (!request.message.empty() && request.message[0] == command)
                return true;
        }
        return false;
    }

    link_tests::AppLink link{app_.App().m_Download, app_.App().m_bBatch};
    RecordingCompileView retrievedView_;
    std::unique_ptr<CVLDoc> retrieved_;
};

TEST_F(ScriptArchive, DownloadedScriptComesBackWholeIntoANewDocument) {
    link_tests::EmulatedPort port;
    ASSERT_TRUE(port.started);
    link.settings.verbose = true;
    link.commandLine = true;
    BuildScript(28, 50);
    const std::string original = SourceText(*doc_);
    ASSERT_GT(original.size(), 60000u); // larger than the old file buffers held

    ui_.QueueAnswer(platform::MsgResult::Ok);  // download successful
    ui_.QueueAnswer(platform::MsgResult::Yes); // store the archive
    Compile();
    ASSERT_EQ(doc_->m_nCompiledOK, 1);
    ASSERT_TRUE(BoxShown("Download Successful!\n\nDo you want to compress and store Show1.KSF as "
                         "well?"));
    ASSERT_NE(view_.Find("Show1.KSF successfully archived!"), nullptr);
    EXPECT_TRUE(BoxShown("Archive Successfully Stored!  Don't forget to save backup copies of "
                         "your KSF and unique, user created PCL files!!!"));
    const auto* storing = view_.Find("Storing Archive in Show Control Unit...");
    ASSERT_NE(storing, nullptr);
    EXPECT_EQ(storing->colour, kColourBlue);
    EXPECT_EQ(view_.Find("  Store Archive request acknowledged")->colour, 0x00C800);

    // The controller holds the header and the packed source, announced by its total.
    const auto archive = port.emulator.StoredArchive();
    ASSERT_GT(archive.size(), kArchiveHeaderSize);
    const auto header = showlink::ReadArchiveHeader(archive.data());
    EXPECT_EQ(header.name, "Show1.KSF");
    EXPECT_EQ(header.compressedLength, archive.size() - kArchiveHeaderSize);
    EXPECT_NE(view_.Find(showlink::Format("  Compressed Archive size is %zu", archive.size())),
              nullptr);
    EXPECT_NE(view_.Find(showlink::Format("  Checksum to store is %4.4X", header.checksum)),
              nullptr);
    bool requested = false;
    for (const auto& request : port.emulator.Requests()) {
        if (request.message[0] == showlink::kCmdStoreArchive) {
            requested = true;
            EXPECT_EQ(request.unit, 5);
            EXPECT_EQ(request.message[1] | (request.message[2] << 8), archive.size());
        }
    }
    EXPECT_TRUE(requested);

    // Saved as the file was, before and after.
    ASSERT_TRUE(doc_->OnSaveDocument((folder_.Path() / "Show1.ksf").string()));
    const std::string file = ReadBinary(folder_.Path() / "Show1.ksf");
    EXPECT_EQ(file, original);

    ui_.Clear();
    ASSERT_TRUE(Retrieve());
    CVLDoc& back = *retrieved_;
    EXPECT_EQ(back.GetTitle(), "Show1.KSF");
    EXPECT_EQ(back.GetPathName(), "Show1.KSF");
    EXPECT_FALSE(back.IsModified());
    EXPECT_TRUE(back.AddToRecentFiles());
    EXPECT_TRUE(BoxShown("Retrieval Successful"));
    EXPECT_EQ(retrievedView_.lines.front().text, "Ready to Retrieve Archive...");
    EXPECT_NE(retrievedView_.Find("  The Stored File Name is Show1.KSF"), nullptr);
    EXPECT_EQ(retrievedView_.Find("Archive successfully Retrieved")->colour, 0x00C800);
    for (const auto& request : port.emulator.Requests()) {
        if (request.message[0] == showlink::kCmdReadArchive) {
            EXPECT_EQ(request.unit, 0);
        }
    }

    // The same model...
    ASSERT_EQ(back.m_poSeqList.size(), doc_->m_poSeqList.size());
    for (std::size_t s = 0; s < back.m_poSeqList.size(); ++s) {
        const CSeq& a = *doc_->m_poSeqList[s];
        const CSeq& b = *back.m_poSeqList[s];
        EXPECT_EQ(b.m_strName, a.m_strName);
        ASSERT_EQ(b.m_poEventList.size(), a.m_poEventList.size());
        for (std::size_t e = 0; e < a.m_poEventList.size(); ++e) {
            EXPECT_EQ(b.m_poEventList[e]->m_strTime, a.m_poEventList[e]->m_strTime);
            EXPECT_EQ(b.m_poEventList[e]->m_strEvent, a.m_poEventList[e]->m_strEvent);
            EXPECT_EQ(b.m_poEventList[e]->m_strData1, a.m_poEventList[e]->m_strData1);
            EXPECT_EQ(b.m_poEventList[e]->m_strLabel, a.m_poEventList[e]->m_strLabel);
            EXPECT_EQ(b.m_poEventList[e]->m_strComment, a.m_poEventList[e]->m_strComment);
        }
    }
    EXPECT_EQ(back.m_pProduct->m_strName, doc_->m_pProduct->m_strName);
    EXPECT_EQ(back.m_pProduct->m_Outputs[0].m_strName, "Fountain");
    ASSERT_EQ(back.m_poDataStrList.size(), 1u);
    EXPECT_EQ(back.m_poDataStrList[0]->m_strData, "\"Hi\"");
    EXPECT_EQ(back.m_wAddress, 5);
    // ...and the same file.
    const auto copy = folder_.Path() / "copy.ksf";
    ASSERT_TRUE(back.OnSaveDocument(copy.string()));
    EXPECT_EQ(ReadBinary(copy), file);
}

TEST_F(ScriptArchive, NoArchiveOfferSkipsTheQuestion) {
    link_tests::EmulatedPort port;
    ASSERT_TRUE(port.started);
    link.commandLine = true;
    link.settings.noArchiveOffer = true;
    BuildScript(1, 4);
    Compile();
    ASSERT_NE(view_.Find("Show1.DAT successfully downloaded!"), nullptr);
    for (const auto& box : ui_.Texts()) {
        EXPECT_EQ(box.find("compress and store"), std::string::npos);
    }
    EXPECT_FALSE(Sent(port, showlink::kCmdStoreArchive));
    EXPECT_TRUE(port.emulator.StoredArchive().empty());
}

TEST_F(ScriptArchive, StoreChecksRoomAndFirmwareBeforeAsking) {
    link_tests::EmulatedPort port;
    ASSERT_TRUE(port.started);
    BuildScript(2, 10);
    const auto packed = showlink::PackArchiveText(SourceText(*doc_));
    ASSERT_TRUE(packed.has_value());
    const auto total = static_cast<std::int32_t>(packed->size() + kArchiveHeaderSize);
    doc_->m_wImageLength = 1000;
    doc_->m_dUnitVersion = 5.61;
    const char* noRoom =
        "There is not enough room for the Archive. Script could not be archived successfully!";

    const auto serial = OpenLink();

    // One byte short: refused before any request.
    doc_->m_nUnitEepromSize = 1000 + total - 1;
    EXPECT_FALSE(showlink::StoreArchive(*doc_, *serial));
    ASSERT_NE(view_.Find(noRoom), nullptr);
    EXPECT_EQ(view_.Find(noRoom)->colour, kColourRed);
    EXPECT_TRUE(BoxShown(
        "There is not enough room for the Archive.\n\nScript could not be archived successfully!"));
    EXPECT_FALSE(Sent(port, showlink::kCmdStoreArchive));

    // Old firmware: refused before any request too.
    doc_->m_nUnitEepromSize = 1000 + total;
    doc_->m_dUnitVersion = 5.60;
    view_.lines.clear();
    EXPECT_FALSE(showlink::StoreArchive(*doc_, *serial));
    const std::string old = "This Show Controller has firmware revision 5.600000, and the required "
                            "firmware revision is 5.61 or higher\n\nThe Script could not be "
                            "archived successfully!";
    ASSERT_NE(view_.Find(old), nullptr);
    EXPECT_EQ(view_.Find(old)->colour, kColourRed);
    EXPECT_TRUE(BoxShown(old));
    EXPECT_FALSE(Sent(port, showlink::kCmdStoreArchive));

    // Exactly enough room is enough.
    doc_->m_dUnitVersion = 5.61;
    EXPECT_TRUE(showlink::StoreArchive(*doc_, *serial));
    EXPECT_EQ(port.emulator.StoredArchive().size(), static_cast<std::size_t>(total));
}

TEST_F(ScriptArchive, TextThatWillNotPackIsNeverSent) {
    link_tests::EmulatedPort port;
    ASSERT_TRUE(port.started);
    BuildScript(1, 0);
    CSeq& seq = *doc_->m_poSeqList[0];
    for (int e = 0; e < 100; ++e) {
        AddEvent(seq, "00:00.00", "Nop").m_strComment = RandomText(700, e, kAlphanumeric);
    }
    doc_->m_dUnitVersion = 5.80;
    doc_->m_nUnitEepromSize = 1 << 20;
    EXPECT_FALSE(StoreOverOpenLink());
    const auto* failed = view_.Find("Script could not be archived successfully!");
    ASSERT_NE(failed, nullptr);
    EXPECT_EQ(failed->colour, kColourRed);
    EXPECT_EQ(view_.Find("Compression complete."), nullptr);
    EXPECT_TRUE(BoxShown("Script could not be archived successfully!"));
    EXPECT_TRUE(port.emulator.Requests().empty());
    EXPECT_EQ(doc_->FileBufferSize(), 0u);
}

TEST_F(ScriptArchive, ControllerRefusalsKeepItsArchive) {
    const struct {
        const char* what;
        EmulatorOptions options;
        const char* line;
        const char* box;
    } cases[] = {
        {"refused request",
         [] {
             EmulatorOptions o;
             o.nakRequest = true;
             return o;
         }(),
         "Error: Store Archive request denied by Show Control Unit", nullptr},
        {"no room beside the stored image",
         [] {
             EmulatorOptions o;
             o.image.assign(65536 - 100, 0x11);
             return o;
         }(),
         "Error: Store Archive request denied by Show Control Unit", nullptr},
        {"odd request answer",
         [] {
             EmulatorOptions o;
             o.requestAnswer = 0x11;
             return o;
         }(),
         "Error: Store Archive received unknown response from Show Control Unit", nullptr},
        {"refused stream",
         [] {
             EmulatorOptions o;
             o.nakCompletion = true;
             return o;
         }(),
         "Error: Store Archive Failed, NACKed by Show Control Unit!",
         "Store Archive Failed, NACKed by Show Control Unit!"},
        {"odd completion",
         [] {
             EmulatorOptions o;
             o.completionAnswer = 0x12;
             return o;
         }(),
         "Error: Store Archive Failed, Unknown Response from Show Control Unit!",
         "Store Archive Failed, Unknown Response from Show Control Unit!"},
    };
    BuildScript(1, 3);
    doc_->m_dUnitVersion = 5.80;
    doc_->m_nUnitEepromSize = 65536;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EmulatorOptions options = c.options;
        options.archive = {1, 2, 3};
        link_tests::EmulatedPort port(options);
        ASSERT_TRUE(port.started);
        view_.lines.clear();
        ui_.Clear();
        EXPECT_FALSE(StoreOverOpenLink());
        const auto* line = view_.Find(c.line);
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->colour, kColourRed);
        if (c.box) {
            EXPECT_TRUE(BoxShown(c.box));
        }
        EXPECT_EQ(port.emulator.StoredArchive(), (std::vector<std::uint8_t>{1, 2, 3}));
    }
}

TEST_F(ScriptArchive, RetrievalFailuresLeaveTheNewDocumentUnfilled) {
    const std::string script = [this] {
        BuildScript(1, 3);
        return SourceText(*doc_);
    }();
    auto archive = [&](int checksumError) { return ArchiveOf(script, "SHOW", checksumError); };
    const struct {
        const char* what;
        EmulatorOptions options;
        std::string line;
        std::string box;
        bool sizeRequested;
    } cases[] = {
        {"no archive",
         {},
         "No Archive stored in this Show Controller!",
         "No Archive stored in this Show Controller!",
         true},
        {"bad checksum",
         [&] {
             EmulatorOptions o;
             o.archive = archive(1);
             return o;
         }(),
         "This file IS NOT a valid Archive file!", "Retrieval Failed", true},
        {"old firmware",
         [&] {
             EmulatorOptions o;
             o.firmwareLine = "Ver 5.60";
             o.archive = archive(0);
             return o;
         }(),
         "Show Controller firmware revision is 5.600000, but 5.61 or higher is required to "
         "archive.",
         "Show Controller firmware revision is 5.600000, but 5.61 or higher is required to "
         "archive.",
         false},
        {"expands past its buffer",
         [&] {
             EmulatorOptions o;
             const auto huge = ArchiveOf(std::string(600000, 'a'), "SHOW");
             EXPECT_LT(huge.size(), 65536u);
             o.archive = huge;
             return o;
         }(),
         "The Script could not be removed from the Archive!",
         "The Script could not be removed from the Archive!", true},
        {"not a script",
         [&] {
             EmulatorOptions o;
             o.archive = ArchiveOf("hello", "SHOW");
             return o;
         }(),
         "The Script could not be removed from the Archive!",
         "The Script could not be removed from the Archive!", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        link_tests::EmulatedPort port(c.options);
        ASSERT_TRUE(port.started);
        ui_.Clear();
        if (retrieved_) {
            retrieved_->RemoveView(&retrievedView_);
        }
        EXPECT_FALSE(Retrieve());
        const auto* line = retrievedView_.Find(c.line);
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->colour, kColourRed);
        EXPECT_TRUE(BoxShown(c.box));
        EXPECT_FALSE(BoxShown("Retrieval Successful"));
        EXPECT_EQ(Sent(port, showlink::kCmdMemorySize), c.sizeRequested);
        // Minimal messages: no size lines.
        for (const auto& text : retrievedView_.Texts()) {
            EXPECT_EQ(text.find("size"), std::string::npos) << text;
        }
        // Still the default script of a new document, untitled.
        ASSERT_EQ(retrieved_->m_poSeqList.size(), 1u);
        EXPECT_EQ(retrieved_->m_poSeqList[0]->m_strName, "Default");
        EXPECT_EQ(retrieved_->GetPathName(), "");
        EXPECT_EQ(retrieved_->FileBufferSize(), 0u);
    }
}

TEST_F(ScriptArchive, RetrievedNameIsReducedToAPlainFileName) {
    BuildScript(1, 2);
    EmulatorOptions options;
    options.archive = ArchiveOf(SourceText(*doc_), "../../tmp/ev\x01il");
    link_tests::EmulatedPort port(options);
    ASSERT_TRUE(port.started);
    ASSERT_TRUE(Retrieve());
    EXPECT_EQ(retrieved_->GetPathName(), "evil.KSF");
    EXPECT_EQ(retrieved_->GetTitle(), "evil.KSF");
    ASSERT_EQ(retrieved_->m_poSeqList.size(), 1u);
    EXPECT_EQ(retrieved_->m_poSeqList[0]->m_strName, "Scene_1");
}

TEST_F(ScriptArchive, RetrievalOnlyFillsUploadDocumentsAndCancelEndsIt) {
    EXPECT_FALSE(showlink::RetrieveArchive(*doc_)); // an ordinary script
    EXPECT_TRUE(view_.lines.empty());

    CVLDoc& doc = NewUploadDocument();
    EXPECT_TRUE(showlink::RetrieveArchive(doc)); // the dialog is cancelled
    EXPECT_EQ(retrievedView_.Texts(), std::vector<std::string>{"Ready to Retrieve Archive..."});
    EXPECT_EQ(ui_.dialogNames, std::vector<std::string>{"CCfgCommDlg"});
}

} // namespace
