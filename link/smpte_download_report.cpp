#include "link/smpte_download_report.h"

#include "compiler/diagnostics.h"

#include <array>
#include <cstdio>

namespace showlink {

namespace {

// What each step of the interface could not do, once the download went through anyway
// (ignore errors) and once it stopped at that step.
constexpr std::array<const char*, 8> kFailedStepText = {
    "Unable to disable SMPTE",    "Unable to set defaults",    "Unable to set preroll",
    "Unable to set unit number",  "Unable to set unit groups", "Unable to set reproducer groups",
    "Unable to set sample clock", "Unable to set triggers"};

constexpr std::array<const char*, 7> kStoppedStepText = {
    "Unable to temporarily disable SMPTE",     "Unable to download default settings",
    "Unable to download preroll timecode",     "Unable to download unit number",
    "Unable to download unit groups",          "Unable to download reproducer groups",
    "Unable to download sample clock settings"};

constexpr std::array<const char*, 5> kTableStepText = {
    "Reproducer triggers could not be cleared", "Show controller triggers could not be cleared",
    nullptr, // the trigger's own line
    "The trigger sort command failed", "The store triggers command failed"};

struct Line {
    std::string text;
    bool error; // "Error: " and red in the compile view
};

std::string TriggerFailedText(int number) {
    char text[64];
    std::snprintf(text, sizeof text, "Trigger %d failed to download", number);
    return text;
}

// The lines after a failed download, without their "Error: " prefixes.
std::vector<Line> FailureLines(const SmpteDownloadOutcome& o) {
    std::vector<Line> lines;
    lines.push_back(
        {o.status == 251 ? "Download Timeout (Check your connection)" : "Download Failed", true});
    switch (o.systemState) {
    case 1:
        lines.push_back({"While downloading SMPTE Interface settings", true});
        if (!o.hasInterface)
            break;
        if (o.interfaceStep >= 0 && o.interfaceStep < static_cast<int>(kStoppedStepText.size())) {
            lines.push_back({kStoppedStepText[static_cast<std::size_t>(o.interfaceStep)], true});
        } else if (o.interfaceStep == 7) {
            lines.push_back({"An error occurred while downloading the trigger table", true});
            if (o.tableStep == 2) {
                lines.push_back({TriggerFailedText(o.triggerNumber), false});
            } else if (o.tableStep >= 0 && o.tableStep < static_cast<int>(kTableStepText.size())) {
                lines.push_back({kTableStepText[static_cast<std::size_t>(o.tableStep)], true});
            }
        } else if (o.interfaceStep == 8) {
            lines.push_back({"An internal error occurred", true});
        }
        break;
    case 3:
        lines.push_back({"Unable to download CobraNet settings", true});
        break;
    case 4:
        lines.push_back({"An internal error occurred", true});
        break;
    default:
        break;
    }
    return lines;
}

const char* FailedStepText(const SmpteDownloadOutcome& o) {
    if (o.failedStep < 0 || o.failedStep >= static_cast<int>(kFailedStepText.size()))
        return nullptr;
    return kFailedStepText[static_cast<std::size_t>(o.failedStep)];
}

} // namespace

std::vector<SmpteReportLine> InlineReportLines(const SmpteDownloadOutcome& outcome) {
    std::vector<SmpteReportLine> report;
    if (outcome.status == 2) {
        report.push_back({"SMPTE Download Complete", kColourDefault});
        if (const char* failed = FailedStepText(outcome))
            report.push_back({std::string("Error: ") + failed, kColourRed});
        return report;
    }
    for (const Line& line : FailureLines(outcome)) {
        if (line.error)
            report.push_back({"Error: " + line.text, kColourRed});
        else
            report.push_back({line.text, kColourDefault});
    }
    return report;
}

std::string DialogLogText(const SmpteDownloadOutcome& outcome) {
    std::string log;
    if (outcome.status == 2) {
        log += "Download Complete\r\n";
        if (outcome.hasInterface && outcome.failedStep != 8) {
            log += "Last error during download:\r\n";
            if (const char* failed = FailedStepText(outcome))
                log += std::string(failed) + "\r\n";
        }
        return log;
    }
    for (const Line& line : FailureLines(outcome))
        log += line.text + "\r\n";
    return log;
}

} // namespace showlink
