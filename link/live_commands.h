// Commands that act on the running show controller at once while a script is edited: start or
// reset a sequence, send one event as if the show had reached it, and switch the SMPTE
// interface of the script's reproducer system on or off. Each opens its own link, sends one
// message and closes the link again; none waits for a reply.
#pragma once

#include <cstdint>

class CVLDoc;
class CSeq;
class CEvnt;
class CSerialLink;

namespace showlink {

// The highest sequence index a live start or reset can carry: the index travels as one byte.
inline constexpr int kMaxLiveSequenceIndex = 255;

// CVLDoc::StartSequenceNow and CVLDoc::ResetSequenceNow: sends [0x18, index] or [0x1B, index]
// (index 0-based in the script's sequence list). 0 when the user cancelled the connection
// dialog or the index cannot be sent (after its message); 1 when the command went ahead.
int StartSequenceNow(CVLDoc& doc, int sequenceIndex);
int ResetSequenceNow(CVLDoc& doc, int sequenceIndex);

// CVLDoc::DownloadEventNow: compiles the event alone and sends its compiled bytes without
// their first byte. 0 when the user cancelled the connection dialog, else 1.
int DownloadEventNow(CVLDoc& doc, CSeq& sequence, CEvnt& event);

// CVLDoc::SendEventNow: the same over the caller's open link (its address already set); no
// dialog, no popup, no message. Sends nothing after compile errors or for a body of at most
// one byte.
void SendEventNow(CVLDoc& doc, CSerialLink& link, CSeq& sequence, CEvnt& event);

} // namespace showlink
