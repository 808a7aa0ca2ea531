#include "reproducer/show_document.h"

#include "foundation/byte_buffer.h"
#include "foundation/xml_text.h"

#include <new>

namespace {

// Commits the node's value, then each child's subtree in list order, so loaded values become
// the baseline of change detection. Nodes without a value are left without one.
void CommitTree(QORXML_c* node) {
    if (node == nullptr) {
        return;
    }
    if (node->ValueObject() != nullptr) {
        if (auto* show = dynamic_cast<ShowXML_c*>(node); show != nullptr) {
            if (ShowXMLValue_c* value = show->HistoryValue(); value != nullptr) {
                value->Commit();
            }
        }
    }
    if (const QORList_c* list = node->ChildList(); list != nullptr) {
        for (const QORListNode_c* item = list->First(); item != nullptr; item = item->next) {
            CommitTree(QORXMLNodeOf(item));
        }
    }
}

// Switches the write-hidden output on for as long as it lives.
class WriteHiddenScope {
public:
    WriteHiddenScope() { QORXMLSetWriteHidden(QOR_TRUE); }
    ~WriteHiddenScope() { QORXMLSetWriteHidden(QOR_FALSE); }
    WriteHiddenScope(const WriteHiddenScope&) = delete;
    WriteHiddenScope& operator=(const WriteHiddenScope&) = delete;
};

} // namespace

ShowDocument_c::ShowDocument_c() : m_root(new (std::nothrow) ShowXML_c()) {
    MakeNewTree();
}

ShowDocument_c::~ShowDocument_c() = default;

void ShowDocument_c::EmptyRoot() {
    if (!m_root) {
        m_root.reset(new (std::nothrow) ShowXML_c());
        if (!m_root) {
            return;
        }
    }
    m_root->RemoveChildren();
    if (QORXML_c* parent = m_root->Parent(); parent != nullptr) {
        parent->DetachChild(m_root.get());
        m_root->SetParent(nullptr);
    }
    m_root->DeleteValue();
    m_root->SetNodeType(QOR_XML_DECLARATION);
    m_root->SetFlags(0);
}

void ShowDocument_c::MakeNewTree() {
    EmptyRoot();
    if (!m_root || m_root->Value() == nullptr) {
        return;
    }
    m_root->Value()->SetText("xml");
    static constexpr const char* kAttributes[][2] = {{"version", "1.0"}, {"encoding", "utf-8"}};
    for (const auto& [name, text] : kAttributes) {
        ShowXML_c* attribute = ShowXML_c::FindOrCreateAttribute(m_root.get(), name);
        if (attribute == nullptr) {
            continue;
        }
        if (ShowXML_c* value = dynamic_cast<ShowXML_c*>(attribute->FirstChildOfType(QOR_XML_TEXT));
            value != nullptr) {
            value->Value()->SetText(text);
        }
        // Searches for the document's elements and attributes pass over the declaration's own.
        attribute->SetFlags(static_cast<std::uint8_t>(attribute->Flags() | QOR_XML_HIDDEN));
    }
}

std::unique_ptr<QORObject_c> ShowDocument_c::Create() const {
    return std::unique_ptr<QORObject_c>(new (std::nothrow) ShowDocument_c());
}

void ShowDocument_c::ReleaseBinding() {}

std::int32_t ShowDocument_c::Load(QORBuffer_c* buffer) {
    ReleaseBinding();
    EmptyRoot();
    if (!m_root || buffer == nullptr) {
        return QOR_COUNT_ERROR;
    }
    const std::int32_t answer = m_root->Parse(buffer);
    CommitTree(m_root.get());
    return answer;
}

std::int32_t ShowDocument_c::Save(QORBuffer_c* buffer) {
    if (buffer == nullptr || !m_root) {
        return QOR_COUNT_ERROR;
    }
    WriteHiddenScope writeHidden;
    const std::int32_t size = m_root->WrittenSize();
    if (buffer->Ownership() == QOR_OWNS) {
        buffer->Resize(0);
        if (size < 0 || buffer->Resize(size) != QOR_OK) {
            return QOR_COUNT_ERROR;
        }
        buffer->Zero();
        buffer->Rewind(QOR_WHOLE);
    }
    const std::int32_t written = m_root->Write(buffer);
    // A text cut short by a borrowed buffer that is too small is not saved: the document
    // stays modified, so the loss shows.
    if (written >= size) {
        SetFlags(static_cast<std::uint8_t>(Flags() & ~kModified));
    }
    return written;
}

void ShowDocument_c::New() {
    ReleaseBinding();
    MakeNewTree();
}

std::uint8_t ShowDocument_c::CopyTo(QORObject_c* target) const {
    auto* other = dynamic_cast<ShowDocument_c*>(target);
    if (other == nullptr || other == this) {
        return other == this ? QOR_OK : QOR_ERROR;
    }
    if (QORDocument_c::CopyTo(other) != QOR_OK) {
        return QOR_ERROR;
    }
    other->ReleaseBinding();
    if (!m_root || !other->m_root) {
        return QOR_ERROR;
    }
    return m_root->CopyTo(other->m_root.get());
}

void ShowDocument_c::NodeChanged(QORXML_c* /*node*/) {
    SetFlags(static_cast<std::uint8_t>(Flags() | kModified));
}
