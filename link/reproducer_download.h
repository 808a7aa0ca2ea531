// The program's side of the reproducer configuration download: loading the sequences' SMPTE
// start times into the interface's trigger table, lending the download port to the script's
// reproducer system, running the download inline (its outcome in the compile view) or under the
// download dialog's worker, and the live SMPTE switch.
#pragma once

class CVLDoc;

namespace showlink {

// The highest unit address an SMPTE start trigger carries, and the highest sequence number.
inline constexpr int kMaxTriggerUnitAddress = 49;
inline constexpr int kMaxTriggerSequence = 255;

// CVLDoc::DownloadReproducerSystem: 2 when the download succeeded, else its status (254 when a
// sequence's start trigger could not be loaded, after its red line).
int DownloadReproducerSystem(CVLDoc& doc, bool inlineDownload, bool loadTriggers, bool full);

// CVLDoc::ReportSmpteDownload: downloads the whole configuration (full) or the trigger table
// alone on this thread and writes the outcome to the compile view; answers the status.
int ReportSmpteDownload(CVLDoc& doc, bool full);

// CVLDoc::EnableSmpteNow: sends the SMPTE interface's enable or disable command over the
// download port. Answers the port's attach status when the port does not open (after its box;
// nothing is sent), else the interface's answer to the command: the frame length when the unit
// took it, 0 or less when not, after a stop box naming the command. A script whose system has
// no SMPTE interface sends nothing and answers 0.
int EnableSmpteNow(CVLDoc& doc, bool enable);

} // namespace showlink
