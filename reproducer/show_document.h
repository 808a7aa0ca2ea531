// The document of the XML-bound data layer: it owns one tree, loads it from and saves it to a
// QORBuffer_c as one line of XML text, and keeps the modified bit that binders' commits set.
#pragma once

#include "reproducer/show_xml.h"

#include "foundation/document_base.h"

#include <cstdint>
#include <memory>

class QORBuffer_c;

class ShowDocument_c : public QORDocument_c {
public:
    // Tag 0, flags 0 and the new tree: the declaration "xml" with hidden version and encoding.
    ShowDocument_c();
    ~ShowDocument_c() override;

    // The tag, the flags (modified bit included) and the type name; then the target releases
    // its binding and takes copies of this tree's live nodes. 254 for a null target or a source
    // without a type name.
    std::uint8_t CopyTo(QORObject_c* target) const override;
    std::unique_ptr<QORObject_c> Create() const override;
    // Releases the binding, replaces the tree by the text parsed from the buffer's cursor and
    // commits every node once as the baseline. The parse's answer: where it stopped, or -2.
    std::int32_t Load(QORBuffer_c* buffer) override;
    // Writes the tree, write-hidden nodes included. An owning buffer is resized to the text
    // exactly; a borrowing one is written as far as it reaches. The bytes written, or -2.
    std::int32_t Save(QORBuffer_c* buffer) override;
    // Derived documents delete their binders here before the tree is replaced.
    virtual void ReleaseBinding();
    // Releases the binding and starts the tree anew; the modified bit stays.
    virtual void New();

    // The binders' change notification: sets the modified bit.
    void NodeChanged(QORXML_c* node);

    // The document node (type 2): the declaration, whose element children are the top level.
    ShowXML_c* XMLRoot() const { return m_root.get(); }

private:
    // Empties the root: no children, no parent, no value, type 2, flags 0.
    void EmptyRoot();
    // The declaration "xml" with hidden "version" 1.0 and "encoding" utf-8.
    void MakeNewTree();

    std::unique_ptr<ShowXML_c> m_root;
};
