// Opening the option dialogs of one sequence from any view: each stores into the sequence only
// on OK, then flags the sequence for compiling and marks the script modified.
#pragma once

class CSeq;
class CVLDoc;
class QWidget;

// Runs the initial update of the script's sequence lists and timecode trigger tables again,
// each with its frame brought forward, so they show new times.
void RefreshSequenceViews(CVLDoc& doc);

// "Sequence Restart Options" on `seq`; answers OK.
bool EditSequenceRestart(CVLDoc& doc, CSeq& seq, QWidget* parent);
// "Timecode Start Time" on `seq`; on OK the start offset follows the chase time and the
// sequence views are refreshed. Answers OK.
bool EditSequenceTimecodeStart(CVLDoc& doc, CSeq& seq, QWidget* parent);
