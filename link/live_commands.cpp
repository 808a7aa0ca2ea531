#include "link/live_commands.h"

#include "compiler/event_compile.h"
#include "compiler/popup_request.h"
#include "link/controller_protocol.h"
#include "link/serial_link.h"
#include "link/transfer_session.h"
#include "link/vl_doc_link.h"
#include "platform/ui_services.h"
#include "script/app_services.h"
#include "script/download_settings.h"
#include "script/sequence.h"
#include "script/vl_doc.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace showlink {

namespace {

constexpr const char* kHardwareError = "Hardware error transmitting serial message";

// The popup that tells what was sent; the user interface keeps it up for the popup delay.
// Shown only once the message went out, so a failed send leaves no popup behind.
void ShowSentPopup(const CVLDoc& doc, const CommSettings& settings, const std::string& title,
                   const std::string& message) {
    if (settings.noCompilerPopups)
        return;
    CPopupDlg popup;
    popup.title = title;
    popup.message = message;
    popup.delayTicks = doc.Services().PopupDelayTicks();
    platform::Ui().RunDialog(popup);
}

std::uint8_t UnitOf(const CVLDoc& doc) {
    return static_cast<std::uint8_t>(doc.m_wAddress & 0xFF);
}

// Opens the link, sends one message to the script's unit and reports the outcome. The wait
// cursor ends before any box.
void SendLiveMessage(CVLDoc& doc, const CommSettings& settings,
                     std::optional<platform::WaitCursor>& wait,
                     const std::vector<std::uint8_t>& message, const std::string& popupTitle,
                     const std::string& popupMessage) {
    CSerialLink link;
    // The command's messages go out on the serial port even when the communication method is
    // Ethernet.
    const std::string openError = OpenControllerLink(link, settings);
    if (!openError.empty()) {
        wait.reset();
        platform::ShowMessage("Error: " + openError);
        return;
    }
    link.SetAddress(kAddressAll);
    link.SetUnit(UnitOf(doc));
    if (!link.SendCommand(message)) {
        link.Close();
        wait.reset();
        platform::ShowMessage(kHardwareError);
        return;
    }
    ShowSentPopup(doc, settings, popupTitle, popupMessage);
    link.Close();
    wait.reset();
}

int SequenceCommandNow(CVLDoc& doc, int sequenceIndex, std::uint8_t command, const char* verb,
                       const char* popupText) {
    if (sequenceIndex < 0 || sequenceIndex > kMaxLiveSequenceIndex) {
        // A wrapped index would start another sequence than the one chosen.
        char text[160];
        std::snprintf(text, sizeof text,
                      "Sequence %d cannot be %s now: only the first %d sequences of a script can "
                      "be addressed by a live command.",
                      sequenceIndex + 1, verb, kMaxLiveSequenceIndex + 1);
        platform::ShowMessage(text, platform::MsgButtons::Ok, platform::MsgIcon::Exclamation);
        return 0;
    }
    if (!ChooseCommMethod(doc, ""))
        return 0;
    const CommSettings settings = doc.Services().Settings();
    std::optional<platform::WaitCursor> wait(std::in_place);
    const auto index = static_cast<std::size_t>(sequenceIndex);
    const std::string name = index < doc.m_poSeqList.size() && doc.m_poSeqList[index]
                                 ? doc.m_poSeqList[index]->m_strName
                                 : std::string();
    SendLiveMessage(doc, settings, wait, {command, static_cast<std::uint8_t>(sequenceIndex)},
                    "Download", popupText + name);
    return 1;
}

template <typename List, typename Item> int PositionIn(const List& list, const Item& item) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].get() == &item)
            return static_cast<int>(i);
    }
    return -1;
}

// The single-event compile; true when the event compiled without errors.
bool CompileLiveEvent(CVLDoc& doc, CSeq& sequence, CEvnt& event) {
    return CompileSingleEvent(doc, sequence, PositionIn(doc.m_poSeqList, sequence), event,
                              PositionIn(sequence.m_poEventList, event));
}

} // namespace

int StartSequenceNow(CVLDoc& doc, int sequenceIndex) {
    return SequenceCommandNow(doc, sequenceIndex, kCmdStartSequence, "started", "Start Sequence ");
}

int ResetSequenceNow(CVLDoc& doc, int sequenceIndex) {
    return SequenceCommandNow(doc, sequenceIndex, kCmdResetSequence, "reset", "Reset Sequence ");
}

int DownloadEventNow(CVLDoc& doc, CSeq& sequence, CEvnt& event) {
    if (!ChooseCommMethod(doc, ""))
        return 0;
    const CommSettings settings = doc.Services().Settings();
    std::optional<platform::WaitCursor> wait(std::in_place);
    const std::string popupMessage = event.m_strEvent + "   " + event.m_strData1 + "   " +
                                     event.m_strData2 + "   " + event.m_strData3 + "   " +
                                     event.m_strData4;
    if (!CompileLiveEvent(doc, sequence, event)) {
        wait.reset();
        platform::ShowMessage("Could not download this event.  It compiled with errors!");
        return 1;
    }
    const ByteString& compiled = event.m_bsCompiled;
    const std::vector<std::uint8_t> message =
        compiled.size() > 1 ? std::vector<std::uint8_t>(compiled.begin() + 1, compiled.end())
                            : std::vector<std::uint8_t>();
    SendLiveMessage(doc, settings, wait, message, "Download Event", popupMessage);
    return 1;
}

void SendEventNow(CVLDoc& doc, CSerialLink& link, CSeq& sequence, CEvnt& event) {
    if (!CompileLiveEvent(doc, sequence, event))
        return;
    link.SetUnit(UnitOf(doc));
    const ByteString& compiled = event.m_bsCompiled;
    if (compiled.size() > 1)
        link.SendCommand(std::vector<std::uint8_t>(compiled.begin() + 1, compiled.end()));
}

} // namespace showlink
