// How the outcome of a reproducer configuration download is told: as compile-view lines after
// an inline download, and as the log text of the download dialog. Both read the same numbers
// of the reproducer system once the download has ended: its answer, the system's state, the
// SMPTE interface's step and failed step, and the trigger table's step and trigger number.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class Reelvox_c;

namespace showlink {

// The numbers the outcome is told from.
struct SmpteDownloadOutcome {
    int status = 0;      // 2 success, 251 time-out, anything else failure
    int systemState = 0; // 1 SMPTE interface, 2 video settings, 3 CobraNet, 4 complete
    bool hasInterface = false;
    int interfaceStep = 0; // 0-7 the step being downloaded, 8 internal error
    int failedStep = 8;    // 0-7 the step that failed last, 8 none
    int tableStep = 0;     // 0-4: clearing, clearing, sending, sorting, storing
    int triggerNumber = 0; // 1-based number of the trigger being sent
};

// Reads the numbers from the system after a download that answered `status`.
SmpteDownloadOutcome ReadDownloadOutcome(const Reelvox_c& system, int status);

struct SmpteReportLine {
    std::string text;
    std::int32_t colour; // compile-view colour: red for errors, -1 the view's default
};

// The compile-view lines of an inline download.
std::vector<SmpteReportLine> InlineReportLines(const SmpteDownloadOutcome& outcome);
// The dialog log's outcome text (each line ended by CR LF).
std::string DialogLogText(const SmpteDownloadOutcome& outcome);

} // namespace showlink
