// The XML binding layer: ShowXML_c, the node class of every bound tree (its value remembers its
// committed states), and ShowXMLInterface_c, the base of every binder, a typed object attached to
// one element that reads and writes its fields as the element's attributes and texts.
//
// Binders own no nodes and keep no copies of values. A change reaches the owning document's
// modified bit only through CommitNode, and only while the acting binder's change tracking is 3.
// The layer takes no locks.
#pragma once

#include "foundation/history_value.h"
#include "foundation/object.h"
#include "foundation/text_string.h"
#include "foundation/xml_node.h"

#include <cstdint>
#include <memory>

class ShowDocument_c;

// The value of a bound node: a history value whose type can be taken away and given back without
// losing its text, so a cleared attribute or element keeps its name while it is not live.
class ShowXMLValue_c : public QORHistoryValue_c {
public:
    std::unique_ptr<QORObject_c> Create() const override;
    // The type becomes none; the forms stay.
    void ClearType();
    // A value without a type becomes a text again (its kept text, or the empty text).
    void RestoreText();
};

class ShowXML_c : public QORXML_c {
public:
    ShowXML_c() = default;

    // A new ShowXML_c of type 2, so a tree built through a ShowXML_c keeps this class.
    std::unique_ptr<QORObject_c> Create() const override;
    // The value is a ShowXMLValue_c (a history value) of depth -1, made on first use; null when
    // memory is short.
    QORValue_c* Value() override;
    // Value() seen as the history value it is.
    ShowXMLValue_c* HistoryValue();

    // The first direct attribute child whose name equals the name ignoring ASCII case, hidden
    // ones included; null unless the node is a declaration or an element.
    static ShowXML_c* FindAttribute(QORXML_c* node, const QORString_c* name);
    static ShowXML_c* FindAttribute(QORXML_c* node, const char* name);
    // FindAttribute, or a new attribute with one empty text child appended at the end.
    static ShowXML_c* FindOrCreateAttribute(QORXML_c* node, const QORString_c* name);
    static ShowXML_c* FindOrCreateAttribute(QORXML_c* node, const char* name);
    // A new element (the empty name for null) appended at the end of the parent's children,
    // holding one text child when a text is given. Null, with nothing left behind, on failure.
    static ShowXML_c* CreateElement(const QORString_c* name, QORXML_c* parent,
                                    const QORString_c* text);
    static ShowXML_c* CreateElement(const char* name, QORXML_c* parent, const char* text);
    // A new untyped child whose value is converted to the value type, before the node's children
    // cursor for direction 249, after it otherwise. The caller gives it its node type.
    static ShowXML_c* InsertChild(QORXML_c* node, std::uint8_t valueType, std::uint8_t direction);
    // The first direct element child named "tm" ignoring ASCII case, hidden included.
    static ShowXML_c* FindTmElement(QORXML_c* node);

    // The first direct live element child with the name ignoring ASCII case, hidden included
    // (the lookup every binder uses for its child elements); the cursor is left on it.
    static ShowXML_c* FindElement(QORXML_c* parent, const char* name);
    // FindElement, or CreateElement with the default text (null for none). created, when
    // given, is set to whether the element had to be made.
    static ShowXML_c* FindOrCreateElement(QORXML_c* parent, const char* name,
                                          const char* defaultText, bool* created = nullptr);
};

class ShowXMLInterface_c : public QORObject_c {
public:
    ShowXMLInterface_c() = default;
    ~ShowXMLInterface_c() override = default;

    // The target takes the tag byte and the owner and is unbound. A bound element with a parent
    // is cloned with its live subtree right after itself, and the target is bound to the clone.
    // 2, or 254 for a null target or an element that cannot be copied.
    std::uint8_t CopyTo(QORObject_c* target) const override;
    std::unique_ptr<QORObject_c> Create() const override;
    virtual void SetChangeTracking(std::uint8_t tracking);
    // Attaches the binder to the node: 254 for a null node, else 2. Classes bind their own way.
    virtual std::uint8_t Bind(ShowXML_c* node);
    // Bind with the bound element; 254 when unbound.
    virtual std::uint8_t Rebind();
    // This binder when the node is its element, one of its attributes, an attribute's value
    // text or one of its comments; null otherwise or when unbound.
    virtual ShowXMLInterface_c* FindBinding(const QORXML_c* node);

    ShowXML_c* Element() const { return m_element; }
    ShowDocument_c* Owner() const { return m_owner; }
    void SetOwner(ShowDocument_c* owner) { m_owner = owner; }
    std::uint8_t ChangeTracking() const { return m_changeTracking; }

    // Field getters and setters. The node is an attribute or element whose first live text
    // child holds the field.
    // 2 with the text; 254 with the empty text when there is no live text child.
    static std::uint8_t GetNodeText(ShowXML_c* node, QORString_c* out);
    // 2 (GetInt's status) with the integer form; 254 with 0 when there is no live text child.
    static std::uint8_t GetNodeInt(ShowXML_c* node, std::int32_t* out);
    // 2 unchanged or committed; 254 for a null node or a node that cannot be had.
    static std::uint8_t SetNodeText(ShowXML_c* node, ShowXMLInterface_c* binder,
                                    const QORString_c* text);
    static std::uint8_t SetNodeText(ShowXML_c* node, ShowXMLInterface_c* binder, const char* text);
    // A null value means 0.
    static std::uint8_t SetNodeInt(ShowXML_c* node, const std::int32_t* value,
                                   ShowXMLInterface_c* binder);
    // The node's value loses its type, so the node stops being live; CommitNode's answer.
    static std::uint8_t ClearNodeValue(ShowXML_c* node, ShowXMLInterface_c* binder);
    // 3 when the attribute's text reads as the integer 1 (a number or a boolean word), else 253.
    static std::uint8_t GetBoolAttribute(ShowXMLInterface_c* binder, const char* name);
    // Set-true 3 writes "true", else set-false 3 writes "false", else the attribute is cleared.
    static std::uint8_t SetBoolAttribute(const char* name, ShowXMLInterface_c* binder,
                                         std::uint8_t setTrue, std::uint8_t setFalse);
    // Commits the node's value while the binder tracks changes and tells the owner of a change.
    static std::uint8_t CommitNode(ShowXML_c* node, ShowXMLInterface_c* binder);

protected:
    // Stores the node as the bound element (null unbinds).
    void Attach(ShowXML_c* node) { m_element = node; }
    // Renames the bound element (its value becomes the name as text).
    void SetElementName(const char* name);

    ShowXML_c* m_element = nullptr;
    ShowDocument_c* m_owner = nullptr;
    std::uint8_t m_changeTracking = QOR_TRUE;
};
