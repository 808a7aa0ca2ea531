// Loads arbitrary bytes as a show document, then binds and checks whatever it holds: every element
// as a resource variable with its rules, each rule checked against the element's text in a
// context made from the document itself, items added, copied and removed. Nothing may crash, a
// load must leave the document clean, and every save must write exactly what it counted.
#include "reproducer/show_document.h"
#include "reproducer/rule_framework.h"
#include "reproducer/rule_kinds.h"

#include "foundation/byte_buffer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* rule) {
    std::fprintf(stderr, "show_document: %s\n", rule);
    std::abort();
}

std::int32_t SaveChecked(ShowDocument_c& document, QORBuffer_c& out) {
    const std::int32_t written = document.Save(&out);
    if (written < 0 || out.Size() != written) {
        Fail("the saved text differs from its count");
    }
    if (document.IsModified() == QOR_TRUE) {
        Fail("a complete save left the document modified");
    }
    return written;
}

// The live elements of the tree, the root's children first, at most a bounded number.
void CollectElements(QORXML_c* node, std::vector<ShowXML_c*>& out) {
    const QORList_c* list = node->ChildList();
    for (const QORListNode_c* item = list != nullptr ? list->First() : nullptr;
         item != nullptr && out.size() < 256; item = item->next) {
        auto* child = dynamic_cast<ShowXML_c*>(QORXMLNodeOf(item));
        if (child != nullptr && child->NodeType() == QOR_XML_ELEMENT && child->IsLive()) {
            out.push_back(child);
            CollectElements(child, out);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 16)) {
        return 0;
    }
    ShowDocument_c document;
    QORBuffer_c in;
    if (size > 0) {
        in.Resize(static_cast<std::int32_t>(size));
        in.CopyIn(static_cast<std::int32_t>(size), data);
    }
    document.Load(&in);
    if (document.IsModified() == QOR_TRUE) {
        Fail("loading marked the document modified");
    }
    QORBuffer_c first;
    SaveChecked(document, first);

    std::vector<ShowXML_c*> elements;
    CollectElements(document.XMLRoot(), elements);
    ShowXML_c* top = elements.empty() ? nullptr : elements.front();

    ShowRuleCollection_c globals("globals", "variable", ShowRuleCollection_c::Items::Variables);
    ShowRuleCollection_c sequences("sequences", "sequence", ShowRuleCollection_c::Items::Plain);
    ShowRuleCollection_c devices("devices", "device", ShowRuleCollection_c::Items::Devices);
    ShowRuleCollection_c labels("labels", "item", ShowRuleCollection_c::Items::Plain);
    for (ShowResources_c* collection :
         {static_cast<ShowResources_c*>(&globals), static_cast<ShowResources_c*>(&sequences),
          static_cast<ShowResources_c*>(&devices), static_cast<ShowResources_c*>(&labels)}) {
        collection->SetOwner(&document);
        collection->Bind(top);
    }
    ShowRuleContext_c context(&globals, &sequences, &devices);
    ShowRuleLabelScope_c scope(&labels);

    std::vector<std::unique_ptr<ShowResourceVariable_c>> variables;
    for (ShowXML_c* element : elements) {
        auto variable = std::make_unique<ShowResourceVariable_c>();
        variable->SetOwner(&document);
        variable->Bind(element);
        variable->FindBinding(element);
        if (ShowResourceRules_c* rules = variable->RulesBinder(); rules != nullptr) {
            QORString_c text;
            variable->GetText(&text);
            for (ShowResource_c* item = rules->First(); item != nullptr;) {
                if (auto* rule = dynamic_cast<ShowResourceRule_c*>(item); rule != nullptr) {
                    rule->Check(&text, &scope, nullptr, &context);
                    rule->CheckNode(variable.get(), &scope, nullptr, &context);
                }
                if (rules->Next() != QOR_OK) {
                    break;
                }
                item = rules->Current();
            }
            variable->ValueKind();
        }
        variables.push_back(std::move(variable));
    }

    // Edit the first element's children as a collection: copy, move, remove, add.
    if (top != nullptr) {
        ShowResources_c all;
        all.SetOwner(&document);
        all.Bind(top);
        if (all.First() != nullptr && all.CopyCurrent() == QOR_OK) {
            all.RemoveCurrent();
            all.AddItem(QOR_TOWARDS_FRONT, all.CopyNode());
        }
        all.ItemAt(2, QOR_TRUE);
        all.FindByName("x", QOR_TRUE);
        if (ShowResource_c* item = all.First(); item != nullptr) {
            item->GUI();
            item->SiblingIndex();
        }
    }

    QORBuffer_c second;
    SaveChecked(document, second);
    ShowDocument_c again;
    second.Rewind(QOR_WHOLE);
    again.Load(&second);
    QORBuffer_c third;
    SaveChecked(again, third);

    QORString_c name;
    name.Assign("show");
    document.SetTypeName(&name);
    document.CopyTo(&again);
    document.New();
    return 0;
}
