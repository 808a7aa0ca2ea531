// Live commands: a sequence started or reset, one event sent, each as one framed message on the
// serial port, with the popup, the refusals and the boxes of the failures.
#include "link/live_commands.h"

#include "compiler/popup_request.h"
#include "link/comm_dialog.h"
#include "link/serial_link.h"
#include "tests/compiler/compile_fixture.h"
#include "tests/link/link_fixtures.h"
#include "tests/link/raw_pty.h"
#include "tests/support/recording_serial_line.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The 9-bit frame as the bytes reach the line (parity aside): address, unit, message, checksum.
Bytes NineBitFrame(std::uint8_t unit, const Bytes& message) {
    Bytes frame{0xFF, unit};
    unsigned sum = 0xFF + unit;
    for (auto b : message) {
        frame.push_back(b);
        sum += b;
    }
    frame.push_back(static_cast<std::uint8_t>((sum & 0xFF) >> 1));
    return frame;
}

// The 8-bit framing: preamble, then F5, unit, 0, length, message, sum.
Bytes EightBitFrame(std::uint8_t unit, const Bytes& message) {
    Bytes frame{0x55, 0x55, 0x55, 0xF5, unit, 0x00, static_cast<std::uint8_t>(message.size())};
    unsigned sum = unit + message.size();
    for (auto b : message) {
        frame.push_back(b);
        sum += b;
    }
    frame.push_back(static_cast<std::uint8_t>(sum & 0xFF));
    return frame;
}

class LiveCommands : public compile_testing::CompileTest {
protected:
    void SetUp() override {
        CompileTest::SetUp();
        AddSequence("First");
        AddSequence("Second");
        CSeq& third = AddSequence("Third");
        AddEvent(third, "00:00.00", "On", "Output1");
        doc_->m_wAddress = 5;
        link.settings.serialPort = 0;
        link.settings.serialBitMode = 1;
        link.settings.noCompilerPopups = true;
        ui_.Clear();
    }

    CSeq& Third() { return *doc_->m_poSeqList[2]; }
    CEvnt& ThirdEvent() { return *Third().m_poEventList[0]; }

    link_tests::AppLink link{app_.App().m_Download, app_.App().m_bBatch};
    link_tests::RawPty pty;
};

TEST_F(LiveCommands, StartAndResetSendTheirFrameInEitherFraming) {
    ASSERT_TRUE(pty.Ok());
    struct Case {
        int bitMode;
        bool start;
        int index;
        Bytes expected;
    };
    const std::vector<Case> cases = {
        // The third sequence of unit 5: FF 05 18 02 and the checksum 0x0F.
        {1, true, 2, {0xFF, 0x05, 0x18, 0x02, 0x0F}},  {1, false, 2, NineBitFrame(5, {0x1B, 0x02})},
        {1, true, 255, NineBitFrame(5, {0x18, 0xFF})}, {0, true, 2, EightBitFrame(5, {0x18, 0x02})},
        {0, false, 0, EightBitFrame(5, {0x1B, 0x00})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "bit mode " << c.bitMode << " start " << c.start << " index " << c.index);
        link.settings.serialBitMode = c.bitMode;
        const int answer = c.start ? showlink::StartSequenceNow(*doc_, c.index)
                                   : showlink::ResetSequenceNow(*doc_, c.index);
        EXPECT_EQ(answer, 1);
        EXPECT_EQ(pty.Drain(), c.expected);
    }
    EXPECT_EQ(ui_.Texts(), std::vector<std::string>{});
    EXPECT_TRUE(ui_.dialogNames.empty()); // no popup with NoCompilerPopups
}

TEST_F(LiveCommands, PopupNamesTheSequenceAfterTheSend) {
    ASSERT_TRUE(pty.Ok());
    link.settings.noCompilerPopups = false;
    app_.App().m_wPopupDelay = 7;
    std::vector<std::pair<std::string, std::string>> popups;
    for (int i = 0; i < 2; ++i) {
        ui_.QueueDialog([&](platform::DialogRequest& request) {
            auto& popup = dynamic_cast<CPopupDlg&>(request);
            popups.emplace_back(popup.title, popup.message);
            EXPECT_EQ(popup.delayTicks, 7);
            return true;
        });
    }
    EXPECT_EQ(showlink::StartSequenceNow(*doc_, 2), 1);
    EXPECT_EQ(showlink::ResetSequenceNow(*doc_, 1), 1);
    EXPECT_EQ(popups,
              (std::vector<std::pair<std::string, std::string>>{
                  {"Download", "Start Sequence Third"}, {"Download", "Reset Sequence Second"}}));
    EXPECT_EQ(pty.Drain().size(), 10u);
}

TEST_F(LiveCommands, SequenceBeyondOneByteIsRefusedAndNothingIsSent) {
    ASSERT_TRUE(pty.Ok());
    EXPECT_EQ(showlink::StartSequenceNow(*doc_, 256), 0);
    EXPECT_EQ(showlink::ResetSequenceNow(*doc_, 300), 0);
    EXPECT_EQ(showlink::StartSequenceNow(*doc_, -1), 0);
    ASSERT_EQ(ui_.boxes.size(), 3u);
    EXPECT_NE(ui_.boxes[0].text.find("Sequence 257 cannot be started"), std::string::npos);
    EXPECT_NE(ui_.boxes[1].text.find("Sequence 301 cannot be reset"), std::string::npos);
    EXPECT_TRUE(pty.Drain().empty());
}

TEST_F(LiveCommands, EthernetAsksForTheMethodAndStillSendsOnTheSerialPort) {
    ASSERT_TRUE(pty.Ok());
    link.settings.commMethod = 1;
    ui_.QueueDialog([](platform::DialogRequest& request) {
        auto& dialog = dynamic_cast<CommDialogRequest&>(request);
        EXPECT_EQ(dialog.m_strMessage, "Please choose a Communication method.");
        return true; // keeps Ethernet
    });
    EXPECT_EQ(showlink::StartSequenceNow(*doc_, 2), 1);
    EXPECT_EQ(pty.Drain(), NineBitFrame(5, {0x18, 0x02}));

    ui_.QueueDialog([](platform::DialogRequest&) { return false; });
    EXPECT_EQ(showlink::ResetSequenceNow(*doc_, 2), 0);
    EXPECT_EQ(showlink::DownloadEventNow(*doc_, Third(), ThirdEvent()), 0);
    EXPECT_TRUE(pty.Drain().empty());
}

TEST_F(LiveCommands, PortThatDoesNotOpenShowsTheLinkText) {
    link.settings.serialPort = 3; // COM4 leads nowhere: the dialog asks first
    ui_.QueueDialog([](platform::DialogRequest&) { return true; });
    EXPECT_EQ(showlink::StartSequenceNow(*doc_, 0), 1);
    EXPECT_EQ(ui_.Texts(), std::vector<std::string>{
                               "Error: Opening serial port: Invalid handle retrieved opening port "
                               "(/nonexistent/port: No such file or directory)"});
}

TEST_F(LiveCommands, DownloadEventSendsItsCompiledBodyWithoutTheFirstByte) {
    ASSERT_TRUE(pty.Ok());
    link.settings.noCompilerPopups = false;
    CEvnt& event = ThirdEvent();
    event.m_bsCompiled = {1, 2, 3}; // stale bytes of an earlier compile go
    std::string popupMessage;
    ui_.QueueDialog([&](platform::DialogRequest& request) {
        auto& popup = dynamic_cast<CPopupDlg&>(request);
        EXPECT_EQ(popup.title, "Download Event");
        popupMessage = popup.message;
        return true;
    });
    EXPECT_EQ(showlink::DownloadEventNow(*doc_, Third(), event), 1);
    ASSERT_GT(event.m_bsCompiled.size(), 1u);
    EXPECT_NE(event.m_bsCompiled, (ByteString{1, 2, 3}));
    const Bytes body(event.m_bsCompiled.begin() + 1, event.m_bsCompiled.end());
    EXPECT_EQ(pty.Drain(), NineBitFrame(5, body));
    EXPECT_EQ(popupMessage, "On   Output1" + std::string(9, ' '));
    EXPECT_TRUE(ui_.boxes.empty());
}

TEST_F(LiveCommands, EventWithCompileErrorsIsNotSent) {
    ASSERT_TRUE(pty.Ok());
    ThirdEvent().m_strData1 = "NoSuchOutput";
    EXPECT_EQ(showlink::DownloadEventNow(*doc_, Third(), ThirdEvent()), 1);
    EXPECT_EQ(ui_.Texts(),
              std::vector<std::string>{"Could not download this event.  It compiled with errors!"});
    EXPECT_TRUE(pty.Drain().empty());
}

TEST_F(LiveCommands, BodyOfAtMostOneByteSendsAnEmptyMessageOnlyFromTheDownload) {
    ASSERT_TRUE(pty.Ok());
    CEvnt& nop = AddEvent(Third(), "00:01.00", "Nop");
    EXPECT_EQ(showlink::DownloadEventNow(*doc_, Third(), nop), 1);
    ASSERT_LE(nop.m_bsCompiled.size(), 1u);
    EXPECT_EQ(pty.Drain(), NineBitFrame(5, {}));

    auto state = std::make_shared<testing_support::RecordingState>();
    CSerialLink open(std::make_unique<testing_support::RecordingSerialLine>(state));
    ASSERT_EQ(open.Open(ComPortIndex(0), Framing::NineBit, kControllerBaud), "");
    showlink::SendEventNow(*doc_, open, Third(), nop);
    EXPECT_TRUE(state->Written().empty());
    EXPECT_TRUE(ui_.boxes.empty());
}

TEST_F(LiveCommands, SendEventUsesTheOpenLinkWithExactParity) {
    auto state = std::make_shared<testing_support::RecordingState>();
    CSerialLink open(std::make_unique<testing_support::RecordingSerialLine>(state));
    ASSERT_EQ(open.Open(ComPortIndex(0), Framing::NineBit, kControllerBaud), "");
    open.SetAddress(0xFF);
    open.SetUnit(9);
    showlink::SendEventNow(*doc_, open, Third(), ThirdEvent());
    EXPECT_EQ(open.Unit(), 5);
    const ByteString& compiled = ThirdEvent().m_bsCompiled;
    ASSERT_GT(compiled.size(), 1u);
    const Bytes frame = NineBitFrame(5, Bytes(compiled.begin() + 1, compiled.end()));
    std::vector<testing_support::RecordedByte> expected;
    for (std::size_t i = 0; i < frame.size(); ++i) {
        const bool mark = i == 0 || i + 1 == frame.size();
        expected.push_back({frame[i], mark ? platform::Parity::Mark : platform::Parity::Space});
    }
    EXPECT_EQ(state->Written(), expected);

    // Compile errors: nothing more goes out, and no box is shown.
    const std::size_t before = state->Written().size();
    ThirdEvent().m_strData1 = "NoSuchOutput";
    showlink::SendEventNow(*doc_, open, Third(), ThirdEvent());
    EXPECT_EQ(state->Written().size(), before);
    EXPECT_TRUE(ui_.boxes.empty());
    EXPECT_TRUE(ui_.dialogNames.empty());
}

} // namespace
