// The forgiving XML reader: one pass over the buffer's readable bytes, keeping whatever it has
// built when something does not fit.
#include "foundation/byte_buffer.h"
#include "foundation/text_string.h"
#include "foundation/xml_node.h"
#include "foundation/xml_text.h"

#include <array>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

struct PendingAttribute {
    std::string name; // decoded
    bool hasValue = false;
    std::string value; // decoded
};

// 0x21..0x7E; everything else, bytes from 0x7F up included, counts as white.
bool IsPrintable(std::uint8_t b) {
    return b >= 0x21 && b <= 0x7E;
}

bool IsLetter(std::uint8_t b) {
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

std::uint8_t Lower(std::uint8_t b) {
    return b >= 'A' && b <= 'Z' ? static_cast<std::uint8_t>(b - 'A' + 'a') : b;
}

} // namespace

class QORXMLParser_c {
public:
    QORXMLParser_c(const std::uint8_t* data, std::int32_t position, std::int32_t end)
        : m_data(data), m_begin(position), m_pos(position), m_end(data != nullptr ? end : 0) {
        if (m_pos > m_end) {
            m_pos = m_end;
        }
        m_missingFrom.fill(m_end);
    }

    std::int32_t Position() const { return m_pos; }

    std::int32_t Run(QORXML_c* node) {
        switch (node->NodeType()) {
        case QOR_XML_COMMENT:
            return Comment(node);
        case QOR_XML_DECLARATION:
            return Content(node);
        case QOR_XML_ELEMENT:
            return Tag(node);
        case QOR_XML_ATTRIBUTE:
            return Attribute(node);
        case QOR_XML_TEXT:
            return AttributeValue(node);
        default:
            return QOR_COUNT_ERROR;
        }
    }

private:
    bool AtEnd() const { return m_pos >= m_end; }

    void SkipWhite() {
        while (m_pos < m_end && !IsPrintable(m_data[m_pos])) {
            ++m_pos;
        }
    }

    // Position of the next occurrence of the byte from the cursor on, or -1. A byte that is
    // missing from some position on is missing from every later one too: remembering that
    // keeps input such as a long run of "<!" from being scanned to its end again and again.
    std::int32_t Find(std::uint8_t byte) {
        std::int32_t& missingFrom = m_missingFrom[byte];
        if (AtEnd() || m_pos >= missingFrom) {
            return -1;
        }
        const void* hit = std::memchr(m_data + m_pos, byte, static_cast<size_t>(m_end - m_pos));
        if (hit == nullptr) {
            missingFrom = m_pos;
            return -1;
        }
        return static_cast<std::int32_t>(static_cast<const std::uint8_t*>(hit) - m_data);
    }

    std::string_view Bytes(std::int32_t from, std::int32_t to) const {
        return {reinterpret_cast<const char*>(m_data + from), static_cast<size_t>(to - from)};
    }

    // Stores the decoded bytes as the node's value, as text or with numeric type detection.
    static bool Store(QORXML_c* node, std::string_view raw, bool detect) {
        try {
            return StoreDecoded(node, QORXMLUnescapeText(raw), detect);
        } catch (const std::bad_alloc&) {
            return false;
        }
    }

    static bool StoreDecoded(QORXML_c* node, const std::string& text, bool detect) {
        QORValue_c* value = node->Value();
        if (value == nullptr) {
            return false;
        }
        const auto length = static_cast<std::int32_t>(text.size());
        value->SetText(text.data(), length, detect ? QOR_TRUE : QOR_FALSE);
        // Detection types a blank text as none, which would drop it from the document.
        if (value->Type() == QOR_TYPE_NONE) {
            value->SetText(text.data(), length, QOR_FALSE);
        }
        return true;
    }

    // Deletes a node that could not be filled; it unlinks itself from its parent.
    static std::int32_t Drop(QORXML_c* node) {
        std::unique_ptr<QORXML_c> gone(node);
        return QOR_COUNT_ERROR;
    }

    std::int32_t Content(QORXML_c* node) {
        for (;;) {
            if (m_tooDeep) {
                return QOR_COUNT_ERROR;
            }
            const std::int32_t start = m_pos;
            const std::int32_t open = Find('<');
            if (open < 0) {
                return start;
            }
            if (node->NodeType() == QOR_XML_ELEMENT) {
                std::int32_t from = start;
                std::int32_t to = open;
                while (from < to && !IsPrintable(m_data[from])) {
                    ++from;
                }
                while (to > from && !IsPrintable(m_data[to - 1])) {
                    --to;
                }
                if (to > from) {
                    QORXML_c* text = node->AddChild(QOR_XML_TEXT);
                    if (text == nullptr) {
                        return QOR_COUNT_ERROR;
                    }
                    if (!Store(text, Bytes(from, to), true)) {
                        return Drop(text);
                    }
                }
            }
            m_pos = open + 1;
            while (m_pos < m_end) {
                const std::uint8_t b = m_data[m_pos];
                if (IsLetter(b) || b == '?' || b == '!' || b == '/') {
                    break;
                }
                ++m_pos;
            }
            if (AtEnd()) {
                continue; // the next pass finds no '<' and ends the content here
            }
            const std::uint8_t b = m_data[m_pos];
            if (IsLetter(b)) {
                if (m_depth >= QOR_XML_MAX_DEPTH) {
                    // Deeper nesting would only recurse further: fail the whole parse here.
                    m_tooDeep = true;
                    m_pos = open;
                    return QOR_COUNT_ERROR;
                }
                QORXML_c* element = node->AddChild(QOR_XML_ELEMENT);
                if (element == nullptr) {
                    return QOR_COUNT_ERROR;
                }
                Tag(element);
            } else if (b == '?') {
                if (node->NodeType() != QOR_XML_DECLARATION) {
                    return QOR_COUNT_ERROR;
                }
                if (++m_instructions > QOR_XML_MAX_INSTRUCTIONS) {
                    // Each one merges its attributes into the document's: refuse a flood.
                    m_pos = open;
                    return QOR_COUNT_ERROR;
                }
                ++m_pos;
                if (Tag(node) == QOR_COUNT_ERROR) {
                    return QOR_COUNT_ERROR;
                }
            } else if (b == '!') {
                ++m_pos;
                if (AtEnd()) {
                    return QOR_COUNT_ERROR;
                }
                QORXML_c* comment = node->AddChild(QOR_XML_COMMENT);
                if (comment == nullptr) {
                    return QOR_COUNT_ERROR;
                }
                Comment(comment);
            } else {
                return EndTag(node);
            }
            if (m_pos <= open) {
                m_pos = open + 1; // every pass moves on, whatever the child did
            }
        }
    }

    // Whether the name, compared ignoring ASCII case, stands at the position and is followed by
    // optional white bytes and '>'. stop: past the '>' on success, else where it stopped.
    bool MatchEndName(std::string_view name, std::int32_t at, std::int32_t* stop) const {
        std::int32_t q = at;
        for (char c : name) {
            if (q >= m_end || Lower(m_data[q]) != Lower(static_cast<std::uint8_t>(c))) {
                *stop = q;
                return false;
            }
            ++q;
        }
        while (q < m_end && !IsPrintable(m_data[q])) {
            ++q;
        }
        if (q < m_end && m_data[q] == '>') {
            *stop = q + 1;
            return true;
        }
        *stop = q;
        return false;
    }

    // After "</": closes this node's content.
    std::int32_t EndTag(QORXML_c* node) {
        ++m_pos;
        SkipWhite();
        if (!AtEnd() && m_data[m_pos] == '>') {
            ++m_pos;
            return m_pos;
        }
        std::string_view name;
        if (QORValue_c* value = node->ValueObject(); value != nullptr) {
            if (const QORString_c* text = value->GetText(nullptr); text != nullptr) {
                name = text->View();
            }
        }
        std::int32_t stop = m_pos;
        if (MatchEndName(name, m_pos, &stop)) {
            m_pos = stop;
            return m_pos;
        }
        // The writer escapes names, so an end tag may hold the name's entity form.
        if (QORXMLEscapedLength(name) != name.size()) {
            std::string escaped;
            for (char c : name) {
                const std::string_view entity = QORXMLEntityText(c);
                if (entity.empty()) {
                    escaped.push_back(c);
                } else {
                    escaped.append(entity);
                }
            }
            std::int32_t escapedStop = m_pos;
            if (MatchEndName(escaped, m_pos, &escapedStop)) {
                m_pos = escapedStop;
                return m_pos;
            }
        }
        m_pos = stop;
        return QOR_COUNT_ERROR;
    }

    // An element's tag and content, or the declaration's tag into the document node.
    std::int32_t Tag(QORXML_c* node) {
        while (m_pos < m_end && (m_data[m_pos] == '<' || !IsPrintable(m_data[m_pos]))) {
            ++m_pos;
        }
        const std::int32_t nameStart = m_pos;
        while (m_pos < m_end) {
            const std::uint8_t b = m_data[m_pos];
            if (!IsPrintable(b) || b == '>' || b == '/' || b == '?') {
                break;
            }
            ++m_pos;
        }
        // A nameless processing instruction would leave the document without a name its
        // attributes could follow in the written text: the document keeps the name it has.
        const bool keepName =
            node->NodeType() == QOR_XML_DECLARATION && m_pos == nameStart && node->IsLive();
        if (!keepName && !Store(node, Bytes(nameStart, m_pos), false)) {
            return QOR_COUNT_ERROR;
        }
        // Attributes are gathered first and added when the tag ends, so that a repeated name
        // costs nothing however many attributes the tag has.
        std::vector<PendingAttribute> attributes;
        bool failed = false;
        for (;;) {
            if (AtEnd()) {
                failed = true;
                break;
            }
            const std::uint8_t b = m_data[m_pos];
            if (b == '>') {
                break;
            }
            if (b == '?' || b == '/') {
                const std::int32_t close = Find('>');
                if (close < 0) {
                    m_pos = m_end;
                    failed = true;
                    break;
                }
                m_pos = close;
                break;
            }
            if (!IsPrintable(b)) {
                ++m_pos;
                continue;
            }
            const std::int32_t before = m_pos;
            try {
                attributes.emplace_back();
            } catch (const std::bad_alloc&) {
                failed = true;
                break;
            }
            if (ScanAttribute(attributes.back()) == QOR_COUNT_ERROR) {
                failed = true;
                break;
            }
            if (m_pos == before) {
                ++m_pos;
            }
        }
        if (!AddAttributes(node, attributes) || failed) {
            return QOR_COUNT_ERROR;
        }
        // The cursor is on the closing '>': the last printable byte before it decides.
        std::int32_t last = m_pos - 1;
        while (last >= m_begin && !IsPrintable(m_data[last])) {
            --last;
        }
        const std::uint8_t lastByte = last >= m_begin ? m_data[last] : 0;
        ++m_pos;
        if (node->NodeType() == QOR_XML_DECLARATION) {
            return lastByte == '?' ? m_pos : QOR_COUNT_ERROR;
        }
        if (lastByte == '/') {
            return m_pos;
        }
        ++m_depth;
        const std::int32_t answer = Content(node);
        --m_depth;
        return answer;
    }

    // Adds the gathered attributes as the reader would have one by one: the last occurrence of
    // a name wins (earlier ones of this tag and the node's own of that name go), and the
    // survivors follow in the order they were read. Names compare decoded, as they are stored.
    static bool AddAttributes(QORXML_c* node, const std::vector<PendingAttribute>& attributes) {
        if (attributes.empty()) {
            return true;
        }
        try {
            std::unordered_map<std::string_view, size_t> last;
            for (size_t i = 0; i < attributes.size(); ++i) {
                last[attributes[i].name] = i;
            }
            if (!RemoveNamedAttributes(node, last)) {
                return false;
            }
            for (size_t i = 0; i < attributes.size(); ++i) {
                const PendingAttribute& pending = attributes[i];
                if (last[pending.name] != i) {
                    continue;
                }
                QORXML_c* attribute = node->AddChild(QOR_XML_ATTRIBUTE);
                if (attribute == nullptr || !Fill(attribute, pending)) {
                    return false;
                }
            }
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }

    // Deletes the node's attribute children whose name is one of the given ones, in one pass
    // over the children (the list is rebuilt without them), so that a document with many
    // children and many repeated instruction attributes is not read in quadratic time. The
    // cursor stays on its node, or goes to the next kept one (the previous at the end).
    static bool RemoveNamedAttributes(QORXML_c* node,
                                      const std::unordered_map<std::string_view, size_t>& names) {
        QORList_c* list = node->ChildList();
        if (list == nullptr || list->Count() == 0) {
            return true;
        }
        auto named = [&names](const QORXML_c* child) {
            if (child == nullptr || child->NodeType() != QOR_XML_ATTRIBUTE ||
                child->ValueObject() == nullptr) {
                return false;
            }
            return names.count(child->ValueObject()->GetText(nullptr)->View()) != 0;
        };
        bool any = false;
        for (QORListNode_c* n = list->First(); n != nullptr && !any; n = n->next) {
            any = named(QORXMLNodeOf(n));
        }
        if (!any) {
            return true;
        }
        std::vector<QORObject_c*> kept;
        std::vector<std::unique_ptr<QORXML_c>> dropped;
        kept.reserve(static_cast<size_t>(list->Count()));
        const QORListNode_c* cursor = list->CursorNode();
        QORObject_c* cursorObject = nullptr; // the kept object the cursor ends on
        bool cursorDropped = false;
        for (QORListNode_c* n = list->First(); n != nullptr; n = n->next) {
            QORXML_c* child = QORXMLNodeOf(n);
            if (named(child)) {
                if (n == cursor) {
                    cursorDropped = true;
                }
                child->SetParent(nullptr);
                dropped.emplace_back(child);
                continue;
            }
            if (n == cursor || (cursorDropped && cursorObject == nullptr)) {
                cursorObject = n->object;
            }
            kept.push_back(n->object);
        }
        if (cursorObject == nullptr && !kept.empty()) {
            cursorObject = kept.back(); // the cursor stood on a dropped node at the end
        }
        const std::uint8_t ownership = list->Ownership();
        list->SetOwnership(QOR_BORROWS);
        list->Clear();
        list->SetOwnership(ownership);
        bool ok = true;
        for (QORObject_c* object : kept) {
            if (ok && list->InsertAfter(object) != QOR_OK) {
                ok = false;
            }
            if (!ok) {
                // Out of memory: what cannot be put back is deleted, never leaked.
                if (auto* lost = dynamic_cast<QORXML_c*>(object); lost != nullptr) {
                    lost->SetParent(nullptr);
                }
                std::unique_ptr<QORObject_c> gone(object);
            }
        }
        if (ok && cursorObject != nullptr && cursorObject != kept.back()) {
            list->Select(cursorObject);
        }
        return ok;
    }

    // Gives an attribute node its name and, when it has one, its value child.
    static bool Fill(QORXML_c* attribute, const PendingAttribute& pending) {
        if (!StoreDecoded(attribute, pending.name, false)) {
            return false;
        }
        if (!pending.hasValue) {
            return true;
        }
        QORXML_c* text = attribute->AddChild(QOR_XML_TEXT);
        if (text == nullptr) {
            return false;
        }
        // A value of length 0 leaves the text node without a value.
        return pending.value.empty() || StoreDecoded(text, pending.value, true);
    }

    // Reads one attribute into a pending record: the answer is the position after it, or -2.
    std::int32_t ScanAttribute(PendingAttribute& pending) {
        SkipWhite();
        const std::int32_t nameStart = m_pos;
        while (m_pos < m_end && IsPrintable(m_data[m_pos]) && m_data[m_pos] != '=') {
            ++m_pos;
        }
        pending.name = QORXMLUnescapeText(Bytes(nameStart, m_pos));
        SkipWhite();
        if (AtEnd() || m_data[m_pos] != '=') {
            return m_pos;
        }
        ++m_pos;
        pending.hasValue = true;
        std::int32_t from = 0;
        std::int32_t to = 0;
        if (ScanValue(&from, &to) == QOR_COUNT_ERROR) {
            return QOR_COUNT_ERROR;
        }
        pending.value = QORXMLUnescapeText(Bytes(from, to));
        return m_pos;
    }

    // An attribute parsed on its own, into this node.
    std::int32_t Attribute(QORXML_c* node) {
        PendingAttribute pending;
        std::int32_t answer = QOR_COUNT_ERROR;
        try {
            answer = ScanAttribute(pending);
        } catch (const std::bad_alloc&) {
            return QOR_COUNT_ERROR;
        }
        if (!StoreDecoded(node, pending.name, false)) {
            return QOR_COUNT_ERROR;
        }
        if (QORXML_c* parent = node->Parent(); parent != nullptr) {
            parent->RemoveAttribute(pending.name.data(),
                                    static_cast<std::int32_t>(pending.name.size()), node);
        }
        if (pending.hasValue) {
            QORXML_c* text = node->AddChild(QOR_XML_TEXT);
            if (text == nullptr ||
                (!pending.value.empty() && !StoreDecoded(text, pending.value, true))) {
                return QOR_COUNT_ERROR;
            }
        }
        return answer;
    }

    // An attribute value parsed on its own, into this text node.
    std::int32_t AttributeValue(QORXML_c* node) {
        std::int32_t from = 0;
        std::int32_t to = 0;
        if (ScanValue(&from, &to) == QOR_COUNT_ERROR) {
            return QOR_COUNT_ERROR;
        }
        if (to > from && !Store(node, Bytes(from, to), true)) {
            return QOR_COUNT_ERROR;
        }
        return m_pos;
    }

    // Finds the raw bytes of a value: quoted up to the next quote that does not follow a
    // backslash (the backslash stays), or unquoted up to '>' or white space.
    std::int32_t ScanValue(std::int32_t* from, std::int32_t* to) {
        SkipWhite();
        if (AtEnd()) {
            return QOR_COUNT_ERROR;
        }
        if (m_data[m_pos] == '"') {
            *from = m_pos + 1;
            *to = *from;
            while (*to < m_end && !(m_data[*to] == '"' && m_data[*to - 1] != '\\')) {
                ++*to;
            }
            if (*to >= m_end) {
                m_pos = m_end;
                return QOR_COUNT_ERROR;
            }
            m_pos = *to + 1;
        } else {
            *from = m_pos;
            *to = *from;
            while (*to < m_end && m_data[*to] != '>' && IsPrintable(m_data[*to])) {
                ++*to;
            }
            if (*to >= m_end) {
                m_pos = m_end;
                return QOR_COUNT_ERROR;
            }
            m_pos = *to;
        }
        return m_pos;
    }

    std::int32_t Comment(QORXML_c* node) {
        while (m_pos < m_end && (m_data[m_pos] == '-' || !IsPrintable(m_data[m_pos]))) {
            ++m_pos;
        }
        if (AtEnd()) {
            return QOR_COUNT_ERROR;
        }
        if (m_data[m_pos] == '>') {
            ++m_pos;
            return Store(node, {}, false) ? m_pos : QOR_COUNT_ERROR;
        }
        const std::int32_t close = Find('>');
        if (close < 0) {
            return QOR_COUNT_ERROR;
        }
        std::int32_t to = close;
        while (to > m_pos && (m_data[to - 1] == '-' || !IsPrintable(m_data[to - 1]))) {
            --to;
        }
        if (!Store(node, Bytes(m_pos, to), false)) {
            return QOR_COUNT_ERROR;
        }
        m_pos = close + 1;
        return m_pos;
    }

    const std::uint8_t* m_data;
    std::int32_t m_begin;
    std::int32_t m_pos;
    std::int32_t m_end;
    std::array<std::int32_t, 256> m_missingFrom{};
    int m_depth = 0;
    int m_instructions = 0;
    bool m_tooDeep = false;
};

std::int32_t QORXML_c::Parse(QORBuffer_c* buffer) {
    if (buffer == nullptr) {
        return QOR_COUNT_ERROR;
    }
    const std::uint8_t type = NodeType();
    if (type == QOR_XML_UNTYPED || type > QOR_XML_TEXT) {
        return QOR_COUNT_ERROR;
    }
    QORXMLParser_c parser(buffer->Data(), buffer->Position(), buffer->ReadableEnd());
    const std::int32_t answer = parser.Run(this);
    buffer->Seek(parser.Position());
    return answer;
}
