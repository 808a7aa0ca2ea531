#include "views/common/sequence_dialogs.h"

#include "platform/qt/mdi_view.h"
#include "script/sequence.h"
#include "script/time_conversions.h"
#include "script/view_kind.h"
#include "script/vl_doc.h"
#include "views/common/restart_dlg.h"
#include "views/common/smpte_start_dlg.h"

#include <cstring>
#include <vector>

void RefreshSequenceViews(CVLDoc& doc) {
    // A copy: activating a frame must not change what is walked.
    const std::vector<platform::View*> views = doc.Views();
    for (platform::View* view : views) {
        if (!HasRole(*view, &ViewKind::sequenceOverview))
            continue;
        view->ActivateFrame();
        if (auto* framed = dynamic_cast<platform::qt::FramedView*>(view))
            framed->OnInitialUpdate();
    }
}

bool EditSequenceRestart(CVLDoc& doc, CSeq& seq, QWidget* parent) {
    RestartOptions options{seq.m_nRestart != 0, seq.m_wRestartLockout};
    CRestartDlg dialog(options, parent);
    if (dialog.Run() != QDialog::Accepted)
        return false;
    seq.m_nRestart = options.restart ? 1 : 0;
    seq.m_wRestartLockout = static_cast<std::uint16_t>(options.lockout);
    seq.m_nNeedsCompile = 1;
    doc.SetModifiedFlag(true);
    return true;
}

namespace {

std::uint8_t Byte(int value) {
    return static_cast<std::uint8_t>(value);
}

} // namespace

bool EditSequenceTimecodeStart(CVLDoc& doc, CSeq& seq, QWidget* parent) {
    TimecodeStart values;
    values.name = seq.m_strName;
    values.frameRate = doc.m_wFrameRate;
    values.triggerOn = seq.m_nSmpteStartOn != 0;
    values.chaseOn = seq.m_nChaseOn != 0;
    values.chaseMode = seq.m_nChaseMode != 0 ? 1 : 0;
    for (std::size_t i = 0; i < 4; ++i) {
        values.trigger[i] = seq.m_anSmpteStart[i];
        values.chase[i] = seq.m_anChaseStart[i];
    }
    CSmpteStartDlg dialog(values, parent);
    dialog.closeBox = [&doc] { RefreshSequenceViews(doc); };
    if (dialog.Run() != QDialog::Accepted)
        return false;
    seq.m_nSmpteStartOn = values.triggerOn ? 1 : 0;
    seq.m_nChaseOn = values.chaseOn ? 1 : 0;
    seq.m_nChaseMode = values.chaseMode;
    for (std::size_t i = 0; i < 4; ++i) {
        seq.m_anSmpteStart[i] = values.trigger[i];
        seq.m_anChaseStart[i] = values.chase[i];
    }
    const double rate = doc.GetFrameRate();
    seq.m_dChaseStart = HmsfToFrames(Byte(values.chase[0]), Byte(values.chase[1]),
                                     Byte(values.chase[2]), Byte(values.chase[3]), rate);
    seq.m_strChaseStart = FramesToTimecodeText(seq.m_dChaseStart, rate);
    RefreshSequenceViews(doc);
    seq.m_nNeedsCompile = 1;
    doc.SetModifiedFlag(true);
    return true;
}
