#include "link/reproducer_download.h"

#include "compiler/diagnostics.h"
#include "foundation/serial_port.h"
#include "foundation/smpte_timecode.h"
#include "foundation/status.h"
#include "link/download_dialog.h"
#include "link/smpte_download_report.h"
#include "link/vl_doc_link.h"
#include "platform/ui_services.h"
#include "reproducer/reelvox_system.h"
#include "reproducer/smpte_interface.h"
#include "reproducer/trigger_table.h"
#include "script/app_services.h"
#include "script/download_settings.h"
#include "script/sequence.h"
#include "script/vl_doc.h"

#include <string>

namespace showlink {

namespace {

constexpr const char* kPortNotOpened = "The serial port could not be openned";

void StopBox(const char* text) {
    platform::ShowMessage(text, platform::MsgButtons::Ok, platform::MsgIcon::Stop);
}

// Fills the interface's trigger table with a start trigger for every sequence that starts on
// SMPTE time. A trigger that cannot be made is named in a red line and fails the download:
// a table without it, or with a trigger for another unit or sequence, would not run the show.
bool LoadSequenceTriggers(CVLDoc& doc, ReelvoxSMPTEInterface_c& smpte,
                          ReelvoxTriggerTable_c& table) {
    QORSMPTETimecode_c timecode;
    timecode.SetFrameRate(smpte.GetFrameRate(), 0);
    const int unit = doc.m_wAddress;
    bool loaded = true;
    for (std::size_t i = 0; i < doc.m_poSeqList.size(); ++i) {
        const CSeq& sequence = *doc.m_poSeqList[i];
        if (!sequence.m_nSmpteStartOn)
            continue;
        const int number = static_cast<int>(i) + 1;
        const std::string badUnit =
            FormatCompileText("the unit address %d is beyond the 0-%d an SMPTE trigger can carry",
                              unit, kMaxTriggerUnitAddress);
        std::string problem;
        if (unit > kMaxTriggerUnitAddress) {
            problem = badUnit;
        } else if (number > kMaxTriggerSequence) {
            problem = "only the first 255 sequences can be started by an SMPTE trigger";
        }
        ReelvoxTrigger_c* trigger = nullptr;
        if (problem.empty()) {
            trigger = table.AddTrigger();
            if (!trigger)
                problem = "its SMPTE start trigger does not fit in the trigger table";
        }
        if (problem.empty() &&
            trigger->SetStartSequence(static_cast<std::uint8_t>(unit),
                                      static_cast<std::uint8_t>(number)) != QOR_OK)
            problem = badUnit;
        if (!problem.empty()) {
            PostCompileMessage(FormatCompileText("Error: Sequence %s: %s",
                                                 sequence.m_strName.c_str(), problem.c_str()),
                               kColourRed);
            loaded = false;
            continue;
        }
        const auto& start = sequence.m_anSmpteStart;
        timecode.SetTime(static_cast<std::uint32_t>(start[0]), static_cast<std::uint32_t>(start[1]),
                         static_cast<std::uint32_t>(start[2]),
                         static_cast<std::uint32_t>(start[3]));
        trigger->SetTimecode(&timecode);
    }
    return loaded;
}

} // namespace

int DownloadReproducerSystem(CVLDoc& doc, bool inlineDownload, bool loadTriggers, bool full) {
    Reelvox_c& system = doc.m_Reelvox;
    ReelvoxSMPTEInterface_c* smpte = system.SMPTEInterface();
    ReelvoxTriggerTable_c* table = smpte ? smpte->TriggerTable() : nullptr;
    const bool triggersLoaded = loadTriggers && table;
    int result = QOR_ERROR;
    if (triggersLoaded && !LoadSequenceTriggers(doc, *smpte, *table)) {
        table->Reload();
        return result;
    }

    const CommSettings settings = doc.Services().Settings();
    QORSerial_c port;
    port.SetPortByIndex(settings.serialPort + 1);
    result = system.SetSerialPort(&port);
    if (result != QOR_OK) {
        StopBox(kPortNotOpened);
    } else if (inlineDownload) {
        result = ReportSmpteDownload(doc, full);
    } else {
        DownloadDlg dialog;
        result = dialog.RunDownload(&system);
    }
    if (triggersLoaded)
        table->Reload();
    system.SetSerialPort(nullptr);
    return result;
}

int ReportSmpteDownload(CVLDoc& doc, bool full) {
    Reelvox_c& system = doc.m_Reelvox;
    ReelvoxSMPTEInterface_c* smpte = system.SMPTEInterface();
    int status = full ? 1 : 0; // without an interface nothing is downloaded
    if (smpte && full) {
        status = system.Download(QOR_FALSE, QOR_TRUE, QOR_TRUE);
    } else if (smpte) {
        if (ReelvoxTriggerTable_c* table = smpte->TriggerTable()) {
            // The triggers alone, reported as the SMPTE step's trigger step.
            system.SetState(REELVOX_SYSTEM_SMPTE);
            smpte->SetState(SMPTE_STEP_TRIGGERS);
            status = table->Download(QOR_TRUE);
            if (status == QOR_OK)
                system.SetState(REELVOX_SYSTEM_COMPLETE);
        }
    }
    for (const SmpteReportLine& line : InlineReportLines(ReadDownloadOutcome(system, status)))
        PostCompileMessage(line.text, line.colour);
    return status;
}

int EnableSmpteNow(CVLDoc& doc, bool enable) {
    Reelvox_c& system = doc.m_Reelvox;
    ReelvoxSMPTEInterface_c* smpte = system.SMPTEInterface();
    if (!smpte)
        return 0;
    QORSerial_c port;
    port.SetPortByIndex(doc.Services().Settings().serialPort + 1);
    const int attached = system.SetSerialPort(&port);
    if (attached != QOR_OK) {
        StopBox(kPortNotOpened);
        return attached;
    }
    const std::int32_t answer = enable ? smpte->SendEnable() : smpte->SendDisable();
    system.SetSerialPort(nullptr);
    // The user asked for the switch and waits for it: a unit that refused or never answered is
    // named, not passed over in silence.
    if (answer <= 0) {
        const std::string command = enable ? "Enable SMPTE" : "Disable SMPTE";
        StopBox((answer == QOR_COUNT_TIMEOUT
                     ? "The SMPTE interface did not answer the " + command +
                           " command (check your connection)."
                     : "The SMPTE interface did not accept the " + command + " command.")
                    .c_str());
    }
    return answer;
}

SmpteDownloadOutcome ReadDownloadOutcome(const Reelvox_c& system, int status) {
    SmpteDownloadOutcome outcome;
    outcome.status = status;
    outcome.systemState = system.GetState();
    if (ReelvoxSMPTEInterface_c* smpte = system.SMPTEInterface()) {
        outcome.hasInterface = true;
        outcome.interfaceStep = smpte->GetState();
        outcome.failedStep = smpte->FailedStep();
        if (ReelvoxTriggerTable_c* table = smpte->TriggerTable()) {
            outcome.tableStep = table->GetState();
            outcome.triggerNumber = table->CurrentTriggerNumber();
        }
    }
    return outcome;
}

} // namespace showlink
