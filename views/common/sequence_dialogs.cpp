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
    CRestartDlg dialog(parent);
    dialog.m_bRestart = seq.m_nRestart != 0;
    dialog.m_nRestartLockout = seq.m_wRestartLockout;
    if (dialog.exec() != QDialog::Accepted)
        return false;
    seq.m_nRestart = dialog.m_bRestart ? 1 : 0;
    seq.m_wRestartLockout = static_cast<std::uint16_t>(dialog.m_nRestartLockout);
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
    CSmpteStartDlg dialog(parent);
    dialog.m_strName = seq.m_strName;
    dialog.m_nFrameRate = doc.m_wFrameRate;
    dialog.m_bTriggerOn = seq.m_nSmpteStartOn != 0;
    dialog.m_bChaseOn = seq.m_nChaseOn != 0;
    dialog.m_nChaseMode = seq.m_nChaseMode != 0 ? 1 : 0;
    for (std::size_t i = 0; i < 4; ++i) {
        dialog.m_anTrigger[i] = seq.m_anSmpteStart[i];
        dialog.m_anChase[i] = seq.m_anChaseStart[i];
    }
    dialog.closeBox = [&doc] { RefreshSequenceViews(doc); };
    if (dialog.exec() != QDialog::Accepted)
        return false;
    seq.m_nSmpteStartOn = dialog.m_bTriggerOn ? 1 : 0;
    seq.m_nChaseOn = dialog.m_bChaseOn ? 1 : 0;
    seq.m_nChaseMode = dialog.m_nChaseMode;
    for (std::size_t i = 0; i < 4; ++i) {
        seq.m_anSmpteStart[i] = dialog.m_anTrigger[i];
        seq.m_anChaseStart[i] = dialog.m_anChase[i];
    }
    const double rate = doc.GetFrameRate();
    seq.m_dChaseStart = HmsfToFrames(Byte(dialog.m_anChase[0]), Byte(dialog.m_anChase[1]),
                                     Byte(dialog.m_anChase[2]), Byte(dialog.m_anChase[3]), rate);
    seq.m_strChaseStart = FramesToTimecodeText(seq.m_dChaseStart, rate);
    RefreshSequenceViews(doc);
    seq.m_nNeedsCompile = 1;
    doc.SetModifiedFlag(true);
    return true;
}
