#include "foundation/byte_buffer.h"
#include "foundation/text_string.h"
#include "foundation/xml_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void Fill(QORBuffer_c& buffer, const std::string& text) {
    buffer.Resize(static_cast<std::int32_t>(text.size()));
    buffer.CopyIn(static_cast<std::int32_t>(text.size()), text.data());
}

std::string Readable(const QORBuffer_c& buffer) {
    return std::string(reinterpret_cast<const char*>(buffer.Data()),
                       static_cast<size_t>(buffer.ReadableEnd()));
}

TEST(XmlText, UnescapeDecodesExactlyTheFiveEntities) {
    struct Case {
        const char* input;
        const char* decoded;
        std::int32_t count;
    };
    const Case cases[] = {
        {"x &lt; y &amp;&amp; z", "x < y && z", 3},
        {"&gt;&apos;&quot;", ">'\"", 3},
        {"&nbsp; &#65; &ab; &AMP; &amps;", "&nbsp; &#65; &ab; &AMP; &amps;", 0},
        {"a & b &lt;", "a & b <", 1}, // a second '&' restarts the entity
        {"&&amp;", "&&", 1},
        {"tail &amp", "tail &amp", 0}, // no ';' after the '&'
        {"&;", "&;", 0},
        {"", "", 0},
    };
    for (const Case& c : cases) {
        QORBuffer_c buffer;
        Fill(buffer, c.input);
        EXPECT_EQ(QORXMLUnescape(&buffer), c.count) << c.input;
        EXPECT_EQ(Readable(buffer), c.decoded) << c.input;

        QORString_c text;
        text.Assign(c.input, -1, QOR_FALSE);
        EXPECT_EQ(QORXMLUnescape(&text), c.count) << c.input;
        EXPECT_EQ(std::string(text.View()), c.decoded) << c.input;
        EXPECT_EQ(text.Chars()[text.Length()], '\0');
    }
    EXPECT_EQ(QORXMLUnescape(static_cast<QORBuffer_c*>(nullptr)), QOR_COUNT_ERROR);
    EXPECT_EQ(QORXMLUnescape(static_cast<QORString_c*>(nullptr)), QOR_COUNT_ERROR);
}

TEST(XmlText, EscapeReplacesTheFiveCharactersInPlace) {
    struct Case {
        const char* input;
        const char* escaped;
        std::int32_t count;
        std::int32_t size; // QORXMLEscapedSize: 0 when nothing needs escaping
    };
    const Case cases[] = {
        {"a<b>&'\"", "a&lt;b&gt;&amp;&apos;&quot;", 5, 27},
        {"&amp;", "&amp;amp;", 1, 9},
        {"plain", "plain", 0, 0},
    };
    for (const Case& c : cases) {
        QORBuffer_c buffer;
        Fill(buffer, c.input);
        EXPECT_EQ(QORXMLEscapedSize(&buffer), c.size) << c.input;
        EXPECT_EQ(QORXMLEscape(&buffer), c.count) << c.input;
        EXPECT_EQ(Readable(buffer), c.escaped) << c.input;
        EXPECT_EQ(buffer.Size(), static_cast<std::int32_t>(std::string(c.escaped).size()));

        // Decoding gives the text back.
        QORXMLUnescape(&buffer);
        EXPECT_EQ(Readable(buffer), c.input);
    }
    QORBuffer_c empty;
    EXPECT_EQ(QORXMLEscape(&empty), 0);
    EXPECT_EQ(QORXMLEscapedSize(&empty), 0);
    EXPECT_EQ(QORXMLEscape(nullptr), QOR_COUNT_ERROR);
}

} // namespace
