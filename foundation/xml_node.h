// QORXML_c: one node of the library's XML tree (declaration/document, element, attribute, text,
// comment, raw text). A node owns its children list and its value; the parent pointer is not
// owned. The children list's cursor is the insertion point for new children and is kept between
// operations, so each operation states where it leaves it.
#pragma once

#include "foundation/object.h"
#include "foundation/object_list.h"
#include "foundation/variant_value.h"

#include <cstdint>
#include <memory>
#include <string_view>

class QORBuffer_c;
class QORString_c;
class QORWriter_c;

// Node types, kept in the object's tag byte.
constexpr std::uint8_t QOR_XML_UNTYPED = 0;
constexpr std::uint8_t QOR_XML_COMMENT = 1;
constexpr std::uint8_t QOR_XML_DECLARATION = 2;
constexpr std::uint8_t QOR_XML_ELEMENT = 3;
constexpr std::uint8_t QOR_XML_ATTRIBUTE = 4;
constexpr std::uint8_t QOR_XML_TEXT = 5;
constexpr std::uint8_t QOR_XML_RAW_TEXT = 6;

// Node flags.
constexpr std::uint8_t QOR_XML_HIDDEN = 0x01; // searches pass over the node and its subtree
constexpr std::uint8_t QOR_XML_WRITE_HIDDEN =
    0x02; // written only while the write-hidden switch is on

// Deepest element nesting the reader accepts; deeper input fails the parse with -2.
constexpr int QOR_XML_MAX_DEPTH = 256;
// Most processing instructions one document parse takes; the next one fails it with -2.
constexpr int QOR_XML_MAX_INSTRUCTIONS = 64;

class QORXML_c : public QORObject_c {
public:
    QORXML_c();
    // Deletes the subtree, unlinks the node from its parent and deletes the value.
    ~QORXML_c() override;

    // Node type, flags and value of this node into the target, then clones of the live
    // children appended after the target's existing ones (a copied attribute replaces the
    // target's attributes of that name). 2, or 254.
    std::uint8_t CopyTo(QORObject_c* target) const override;
    // A new node of type 2 without children, value, parent or flags.
    std::unique_ptr<QORObject_c> Create() const override;
    // The value, created empty (type none) on first use; null when memory is short.
    virtual QORValue_c* Value();

    // The children list, created empty and owning on first use; null when memory is short.
    QORList_c* Children();
    // The children list without creating it.
    QORList_c* ChildList() const { return m_children.get(); }
    // The value without creating it.
    QORValue_c* ValueObject() const { return m_value.get(); }
    // Deletes the value: the node is no longer live until it gets one again.
    void DeleteValue() { m_value.reset(); }

    std::uint8_t NodeType() const { return Tag(); }
    void SetNodeType(std::uint8_t type) { SetTag(type); }
    std::uint8_t Flags() const { return m_flags; }
    void SetFlags(std::uint8_t flags) { m_flags = flags; }
    QORXML_c* Parent() const { return m_parent; }
    void SetParent(QORXML_c* parent) { m_parent = parent; }

    // A node counts (is searched, copied, written) only with a type and a typed value.
    bool IsLive() const;

    // Searches by name (ignoring ASCII case) or by value; the status bytes deep, self, children
    // and hidden mean yes when 3. Direct children only: self 253, children 3, deep 253.
    QORXML_c* FindByName(const QORString_c* name, std::uint8_t type, std::uint8_t deep,
                         std::uint8_t self, std::uint8_t children, std::uint8_t hidden);
    // The same with the name as plain characters, so a lookup by a literal makes no text.
    QORXML_c* FindByName(std::string_view name, std::uint8_t type, std::uint8_t deep,
                         std::uint8_t self, std::uint8_t children, std::uint8_t hidden);
    QORXML_c* FindByValue(QORValue_c* value, std::uint8_t type, std::uint8_t deep,
                          std::uint8_t self, std::uint8_t children, std::uint8_t hidden);
    // The nearest live, visible ancestor of the type (0 any) whose value equals the given one.
    QORXML_c* FindAncestor(QORValue_c* value, std::uint8_t type) const;

    // The first live child of the type (0 any); the cursor is left on it, or on the last child.
    QORXML_c* FirstChildOfType(std::uint8_t type);
    QORValue_c* FirstChildValue(std::uint8_t type);
    // The node before this one in the parent's list; the parent's cursor is left on the answer
    // (on this node when it is the first).
    QORXML_c* PreviousSibling() const;
    // Cursor to the child: 2, or 254 when it is not a child of this node.
    std::uint8_t SelectChild(const QORXML_c* child);
    // Deletes every attribute child other than keep whose name equals the given one exactly
    // (same length, same bytes, case counted). Length -1: up to the zero byte. Answers the
    // number deleted; the cursor stays where it stood unless that node went.
    std::int32_t RemoveAttribute(const char* name, std::int32_t length, const QORXML_c* keep);
    std::int32_t RemoveAttribute(const QORString_c* name, const QORXML_c* keep);
    // Deletes every child; answers the number deleted.
    std::int32_t RemoveChildren();
    // Unlinks the child from this node's list without deleting it; its parent pointer is left
    // to the caller. The cursor stays, or moves to the next node (previous at the end) when it
    // stood on the child.
    void DetachChild(const QORXML_c* child);

    // Parses text from the buffer's cursor according to this node's type (1 comment,
    // 2 document content, 3 element, 4 attribute, 5 attribute value): the buffer position
    // where parsing stopped, or -2.
    std::int32_t Parse(QORBuffer_c* buffer);
    // Writes the node and its subtree as compact XML text: the bytes the writer took.
    std::int32_t Write(QORWriter_c* writer);
    // Exactly the number of bytes Write would produce now.
    std::int32_t WrittenSize();

protected:
    // For nodes whose value is of a derived class.
    std::unique_ptr<QORValue_c> m_value;

private:
    friend class QORXMLParser_c;

    // The search behind FindByName and FindByValue: `matches` says whether a node's value is
    // the one looked for.
    template <typename Matches>
    QORXML_c* Find(const Matches& matches, std::uint8_t type, std::uint8_t deep, std::uint8_t self,
                   std::uint8_t children, std::uint8_t hidden);
    // A new node made through this node's Create, so a tree keeps one node class.
    std::unique_ptr<QORXML_c> MakeNode() const;
    // Makes a child of the type, inserts it after the cursor and links it; null on failure.
    QORXML_c* AddChild(std::uint8_t type);
    // Forgets the children's back links before the list deletes them, so their destructors
    // do not reach into a list that is being torn down.
    void ReleaseChildLinks();
    // Removes the list node without deleting its object; the cursor as DetachChild states.
    void UnlinkNode(QORListNode_c* node);

    std::unique_ptr<QORList_c> m_children;
    QORXML_c* m_parent = nullptr;
    std::uint8_t m_flags = 0;
};

// The node held by a list node, or null for a null object or a foreign class.
QORXML_c* QORXMLNodeOf(const QORListNode_c* node);
