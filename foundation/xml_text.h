// The text form of XML: the five character entities and the process-wide write-hidden switch.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class QORBuffer_c;
class QORString_c;

// Replaces, in place, each of & > < ' " in the buffer's readable bytes by its entity; the buffer
// is resized to the escaped length. Answers the number replaced, or -2.
std::int32_t QORXMLEscape(QORBuffer_c* buffer);
// The escaped length of the buffer's readable bytes; 0 when no byte needs escaping, -2 for no
// buffer.
std::int32_t QORXMLEscapedSize(const QORBuffer_c* buffer);
// Decodes &amp; &gt; &lt; &apos; &quot; in place (any other &...; stays as it is); the readable
// end becomes the decoded length. Answers the number decoded, or -2.
std::int32_t QORXMLUnescape(QORBuffer_c* buffer);
std::int32_t QORXMLUnescape(QORString_c* text);

// The same rules on plain bytes, for the reader and the writer.
std::size_t QORXMLEscapedLength(std::string_view text);
std::string QORXMLUnescapeText(std::string_view text, std::int32_t* decoded = nullptr);

// The write-hidden switch: while it is 3, nodes flagged write-hidden are written and counted;
// otherwise they are skipped with their subtree. 253 (off) at start.
void QORXMLSetWriteHidden(std::uint8_t state);
std::uint8_t QORXMLWriteHidden();

// The entity text for one of the five characters, or an empty view.
std::string_view QORXMLEntityText(char c);
