// The compact XML writer and its size pre-count. Both run the same walk, one writing and one
// adding lengths, so the count always equals what is written.
#include "foundation/object.h"
#include "foundation/text_string.h"
#include "foundation/xml_node.h"
#include "foundation/xml_text.h"

#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

namespace {

class XmlEmitter {
public:
    // A null writer only counts.
    explicit XmlEmitter(QORWriter_c* writer) : m_writer(writer) {}

    std::int32_t Total() const {
        return m_total > std::numeric_limits<std::int32_t>::max()
                   ? std::numeric_limits<std::int32_t>::max()
                   : static_cast<std::int32_t>(m_total);
    }

    void Node(QORXML_c& node) {
        if (!Writes(node)) {
            return;
        }
        const std::string_view text = TextOf(node);
        switch (node.NodeType()) {
        case QOR_XML_DECLARATION:
            Raw("<?");
            Escaped(text);
            Attributes(node);
            Raw("?>");
            Group(node, QOR_XML_RAW_TEXT);
            Group(node, QOR_XML_COMMENT);
            Group(node, QOR_XML_ELEMENT);
            break;
        case QOR_XML_ELEMENT:
            Raw("<");
            Escaped(text);
            Attributes(node);
            if (HasContent(node)) {
                Raw(">");
                Group(node, QOR_XML_RAW_TEXT);
                Group(node, QOR_XML_COMMENT);
                Group(node, QOR_XML_ELEMENT);
                Group(node, QOR_XML_TEXT);
                Raw("</");
                Escaped(text);
                Raw(">");
            } else {
                Raw("/>");
            }
            break;
        case QOR_XML_ATTRIBUTE:
            Escaped(text);
            Raw("=\"");
            Group(node, QOR_XML_TEXT);
            Raw("\"");
            break;
        case QOR_XML_TEXT:
            Escaped(text);
            break;
        case QOR_XML_RAW_TEXT:
            Raw(text);
            break;
        default: // comments, and any other type
            if (!text.empty()) {
                Raw("<!-- ");
                Escaped(text);
                Raw(" -->");
            }
            break;
        }
    }

private:
    static std::string_view TextOf(QORXML_c& node) {
        const QORString_c* text = node.ValueObject()->GetText(nullptr);
        return text != nullptr ? text->View() : std::string_view();
    }

    // A node is written when it is live and not a write-hidden node while the switch is off.
    static bool Writes(const QORXML_c& node) {
        if ((node.Flags() & QOR_XML_WRITE_HIDDEN) != 0 && QORXMLWriteHidden() != QOR_TRUE) {
            return false;
        }
        return node.IsLive();
    }

    // Whether a content child writes at least one byte.
    static bool WritesSomething(QORXML_c& node) {
        if (!Writes(node)) {
            return false;
        }
        switch (node.NodeType()) {
        case QOR_XML_ELEMENT:
            return true;
        case QOR_XML_RAW_TEXT:
        case QOR_XML_COMMENT:
        case QOR_XML_TEXT:
            return !TextOf(node).empty();
        default:
            return false;
        }
    }

    static bool HasContent(QORXML_c& node) {
        const QORList_c* list = node.ChildList();
        if (list == nullptr) {
            return false;
        }
        for (const QORListNode_c* n = list->First(); n != nullptr; n = n->next) {
            QORXML_c* child = QORXMLNodeOf(n);
            if (child != nullptr && WritesSomething(*child)) {
                return true;
            }
        }
        return false;
    }

    void Group(QORXML_c& node, std::uint8_t type) {
        const QORList_c* list = node.ChildList();
        if (list == nullptr) {
            return;
        }
        for (const QORListNode_c* n = list->First(); n != nullptr; n = n->next) {
            QORXML_c* child = QORXMLNodeOf(n);
            if (child != nullptr && child->NodeType() == type) {
                Node(*child);
            }
        }
    }

    // " a=\"1\" b=\"2\" " for the written attributes with a name; nothing when there are none.
    // A nameless tag gets none: the reader would take its first attribute for the name.
    void Attributes(QORXML_c& node) {
        const QORList_c* list = node.ChildList();
        if (list == nullptr || TextOf(node).empty()) {
            return;
        }
        bool any = false;
        for (const QORListNode_c* n = list->First(); n != nullptr; n = n->next) {
            QORXML_c* child = QORXMLNodeOf(n);
            if (child == nullptr || child->NodeType() != QOR_XML_ATTRIBUTE || !Writes(*child) ||
                TextOf(*child).empty()) {
                continue;
            }
            Raw(" ");
            Node(*child);
            any = true;
        }
        if (any) {
            Raw(" ");
        }
    }

    void Raw(std::string_view bytes) {
        if (bytes.empty()) {
            return;
        }
        if (m_writer == nullptr) {
            m_total += static_cast<std::int64_t>(bytes.size());
            return;
        }
        const std::int32_t taken =
            m_writer->Write(bytes.data(), static_cast<std::int32_t>(bytes.size()));
        if (taken > 0) {
            m_total += taken;
        }
    }

    void Escaped(std::string_view text) {
        if (m_writer == nullptr) {
            m_total += static_cast<std::int64_t>(QORXMLEscapedLength(text));
            return;
        }
        std::size_t run = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const std::string_view entity = QORXMLEntityText(text[i]);
            if (entity.empty()) {
                continue;
            }
            Raw(text.substr(run, i - run));
            Raw(entity);
            run = i + 1;
        }
        Raw(text.substr(run));
    }

    QORWriter_c* m_writer;
    std::int64_t m_total = 0;
};

} // namespace

std::int32_t QORXML_c::Write(QORWriter_c* writer) {
    if (writer == nullptr) {
        return 0;
    }
    XmlEmitter emitter(writer);
    emitter.Node(*this);
    return emitter.Total();
}

std::int32_t QORXML_c::WrittenSize() {
    XmlEmitter emitter(nullptr);
    emitter.Node(*this);
    return emitter.Total();
}
