// Feeds arbitrary bytes to the XML reader. Whatever it builds must be written exactly as counted,
// read back to the same text, and cloned without change.
#include "foundation/byte_buffer.h"
#include "foundation/text_string.h"
#include "foundation/xml_node.h"
#include "foundation/xml_text.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace {

std::string_view g_input;

// Reports the broken rule and the input that broke it, then stops.
[[noreturn]] void Fail(const char* rule) {
    std::fprintf(stderr, "xml_reader: %s; input of %zu bytes:\n", rule, g_input.size());
    for (unsigned char c : g_input.substr(0, 2048)) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            std::fputc(c, stderr);
        } else {
            std::fprintf(stderr, "\\x%02X", c);
        }
    }
    std::fputc('\n', stderr);
    std::abort();
}

std::string WriteOut(QORXML_c& node) {
    const std::int32_t size = node.WrittenSize();
    QORBuffer_c out;
    if (size > 0 && out.Resize(size) != QOR_OK) {
        Fail("no memory for the output");
    }
    if (node.Write(&out) != size) {
        Fail("the size pre-count differs from the bytes written");
    }
    return std::string(reinterpret_cast<const char*>(out.Data()), static_cast<size_t>(size));
}

void ParseText(QORXML_c& node, const void* data, size_t size) {
    QORBuffer_c in;
    if (size > 0) {
        in.Resize(static_cast<std::int32_t>(size));
        in.CopyIn(static_cast<std::int32_t>(size), data);
    }
    const std::int32_t answer = node.Parse(&in);
    if (answer != QOR_COUNT_ERROR && (answer < 0 || answer > static_cast<std::int32_t>(size))) {
        Fail("the parse answered a position outside the input");
    }
}

// A quoted attribute value cannot end in a backslash: the reader takes \" as part of the value.
bool HasValueEndingInBackslash(QORXML_c& node) {
    if (node.NodeType() == QOR_XML_TEXT && node.IsLive() && node.Parent() != nullptr &&
        node.Parent()->NodeType() == QOR_XML_ATTRIBUTE) {
        const std::string_view text = node.ValueObject()->GetText(nullptr)->View();
        if (!text.empty() && text.back() == '\\') {
            return true;
        }
    }
    if (QORList_c* list = node.ChildList(); list != nullptr) {
        for (QORListNode_c* n = list->First(); n != nullptr; n = n->next) {
            QORXML_c* child = QORXMLNodeOf(n);
            if (child != nullptr && HasValueEndingInBackslash(*child)) {
                return true;
            }
        }
    }
    return false;
}

// Flags some nodes write-hidden or hidden and turns some texts into raw text, chosen by the
// input, so that every writer case meets the size check.
void Shuffle(QORXML_c& node, std::uint32_t& state) {
    state = state * 1103515245u + 12345u;
    const std::uint32_t pick = (state >> 16) % 7;
    if (pick == 0) {
        node.SetFlags(QOR_XML_WRITE_HIDDEN);
    } else if (pick == 1) {
        node.SetFlags(QOR_XML_HIDDEN);
    } else if (pick == 2 && node.NodeType() == QOR_XML_TEXT) {
        node.SetNodeType(QOR_XML_RAW_TEXT);
    }
    if (QORList_c* list = node.ChildList(); list != nullptr) {
        for (QORListNode_c* n = list->First(); n != nullptr; n = n->next) {
            if (QORXML_c* child = QORXMLNodeOf(n); child != nullptr) {
                Shuffle(*child, state);
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) {
        return 0;
    }
    g_input = std::string_view(reinterpret_cast<const char*>(data), size);
    QORXML_c root;
    ParseText(root, data, size);
    const std::string text = WriteOut(root);

    if (!HasValueEndingInBackslash(root)) {
        QORXML_c again;
        ParseText(again, text.data(), text.size());
        if (WriteOut(again) != text) {
            Fail("the normal form does not read back to itself");
        }
    }

    QORXML_c copy;
    if (root.CopyTo(&copy) == QOR_OK && WriteOut(copy) != text) {
        Fail("the copy is written differently");
    }

    std::uint32_t state = static_cast<std::uint32_t>(size);
    for (size_t i = 0; i < size && i < 64; ++i) {
        state = state * 31u + data[i];
    }
    Shuffle(copy, state);
    WriteOut(copy);
    QORXMLSetWriteHidden(QOR_TRUE);
    WriteOut(copy);
    QORXMLSetWriteHidden(QOR_FALSE);

    // The other entry points of the reader take the same bytes without harm.
    for (std::uint8_t type : {QOR_XML_COMMENT, QOR_XML_ELEMENT, QOR_XML_ATTRIBUTE, QOR_XML_TEXT}) {
        QORXML_c parent;
        parent.SetNodeType(QOR_XML_ELEMENT);
        auto owned = std::make_unique<QORXML_c>();
        QORXML_c* node = owned.get();
        node->SetNodeType(type);
        node->SetParent(&parent);
        if (parent.Children()->InsertAfter(node) != QOR_OK) {
            continue;
        }
        owned.release();
        ParseText(*node, data, size);
        WriteOut(parent);
    }
    return 0;
}
