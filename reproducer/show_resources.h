// Collections of like elements and their items. ShowResources_c binds a list element and keeps
// one item binder per child element of the item name, with a cursor over them; ShowResource_c
// binds one item, caching its "name" attribute and its text node; ShowDataGUI_c binds the hidden
// "gui" child of an item, whose edits never mark the document modified.
//
// Items are removed by clearing their element's value: the element stays in the tree and its
// binder in the list, but neither is written, found or counted any more.
#pragma once

#include "reproducer/show_xml.h"

#include "foundation/object_list.h"
#include "foundation/variant_value.h"

#include <cstdint>
#include <memory>

class ShowResource_c;

class ShowDataGUI_c : public ShowXMLInterface_c {
public:
    std::unique_ptr<QORObject_c> Create() const override;
    // Stays off: GUI edits are never reported as changes.
    void SetChangeTracking(std::uint8_t tracking) override;
    // Binds the "gui" child of the resource element, creating it when missing, flags it hidden
    // and write-hidden and switches its own change tracking off. 254 for a null node or a node
    // that is not an element.
    std::uint8_t Bind(ShowXML_c* resourceElement) override;
    // Binds again from the bound element's parent; 254 when unbound.
    std::uint8_t Rebind() override;
};

class ShowResources_c : public ShowXMLInterface_c {
public:
    ShowResources_c();
    ~ShowResources_c() override;

    std::unique_ptr<QORObject_c> Create() const override;
    // Stores the byte and passes it to every item; the items cursor stays where it was.
    void SetChangeTracking(std::uint8_t tracking) override;
    // Binds the list element itself: one item per element child of the item name (every element
    // child when the item name is empty). 254 for a null element or an item that fails to bind.
    std::uint8_t Bind(ShowXML_c* element) override;
    // The collection element's own search, then each live item's.
    ShowXMLInterface_c* FindBinding(const QORXML_c* node) override;
    // The items list, made empty and owning on first use.
    virtual QORList_c* Children();
    // A new unbound item binder for the template (null allowed); the base makes a ShowResource_c.
    virtual std::unique_ptr<ShowResource_c> CreateChild(ShowXML_c* templateNode);

    std::int32_t LiveCount();
    // Navigation over live items; each makes its item current and its element the collection
    // element's current child.
    ShowResource_c* First();
    std::uint8_t Next();
    std::uint8_t Previous();
    // The current item (live or not), or null.
    ShowResource_c* Current() const;
    // The live item at the position; with create 3 items are added at the end up to it.
    ShowResource_c* ItemAt(std::int32_t index, std::uint8_t create);
    // The live item whose "name" equals the name ignoring ASCII case; with create 3 a new item
    // carrying the name when none matches.
    ShowResource_c* FindByName(const QORString_c* name, std::uint8_t create);
    ShowResource_c* FindByName(const char* name, std::uint8_t create);
    // A new item next to the current one (before it for direction 249), copied from the template
    // when one is given; it becomes current. Null on failure, with nothing left behind.
    ShowResource_c* AddItem(std::uint8_t direction, ShowXML_c* templateNode);
    // Clears the current item's element and moves to the next live item (else the previous).
    std::uint8_t RemoveCurrent();
    // Keeps a deep copy of the current item's element as the template for AddItem.
    std::uint8_t CopyCurrent();
    // The item becomes current: 2, or 254 when it is not in the list. Null selects the last item
    // and answers 254.
    std::uint8_t Select(ShowResource_c* item);

    // The element name of the items.
    QORValue_c* ItemName() { return m_itemName.get(); }
    void SetItemName(const char* name);
    // The copy made by CopyCurrent, or null.
    ShowXML_c* CopyNode() const { return m_copy.get(); }

protected:
    // For collection classes that bind from their parent: finds the list element among the
    // parent's direct children (hidden included) or creates it, then binds to it. 254 for a null
    // parent or one that is not an element.
    std::uint8_t BindInParent(ShowXML_c* parent, const char* listName);
    // Binds again from the parent of the list element; 254 when unbound.
    std::uint8_t RebindFromParent();

private:
    // Makes the item binder, binds it and puts it in the list after (or before) the cursor.
    ShowResource_c* Insert(std::unique_ptr<ShowResource_c> item, std::uint8_t direction);
    std::uint8_t SelectItem(ShowResource_c* item);

    std::unique_ptr<QORValue_c> m_itemName;
    std::unique_ptr<QORList_c> m_items;
    std::unique_ptr<ShowXML_c> m_copy;
};

class ShowResource_c : public ShowXMLInterface_c {
public:
    ShowResource_c();
    ~ShowResource_c() override;

    std::unique_ptr<QORObject_c> Create() const override;
    // Stores the byte and passes it to the GUI binder.
    void SetChangeTracking(std::uint8_t tracking) override;
    // Attaches to the node, names it "resource" (derived classes rename it), makes an untyped
    // node an element and binds the GUI binder when there is a "gui" child. 254 for null.
    std::uint8_t Bind(ShowXML_c* node) override;

    // The "name" attribute, found or created on first use and cached; null when unbound.
    ShowXML_c* NameAttribute();
    std::uint8_t SetName(const QORString_c* name);
    std::uint8_t SetName(const char* name);
    // The name's text (GetNodeText's answer).
    std::uint8_t GetName(QORString_c* out);
    // The element's first live text child, or a new one; cached. Null when unbound.
    ShowXML_c* TextNode();
    QORHistoryValue_c* TextValue();
    // The text form of TextValue; the empty text without one.
    void GetText(QORString_c* out);
    // The position among the live, equally named siblings, from 0; -2 when unbound, not live or
    // without a parent.
    std::int32_t SiblingIndex();
    // The GUI binder, made and bound on first use; null when it cannot be bound.
    ShowDataGUI_c* GUI();

    ShowResources_c* Collection() const { return m_collection; }
    void SetCollection(ShowResources_c* collection) { m_collection = collection; }

private:
    ShowXML_c* m_nameAttribute = nullptr;
    std::unique_ptr<ShowDataGUI_c> m_gui;
    ShowResources_c* m_collection = nullptr;
    ShowXML_c* m_textNode = nullptr;
};
