// Two small elements of the reproducer configuration: the port element, whose "type" says over
// which kind of link the system is reached, and the info element with its description, version
// and authors.
#pragma once

#include "reproducer/rule_framework.h"

#include <cstdint>
#include <memory>

// Port types: the index into the keyword table.
constexpr std::uint8_t kPortTypeNull = 0;
constexpr std::uint8_t kPortTypeProgrammer = 1;
constexpr std::uint8_t kPortTypeSerial = 2;
constexpr std::uint8_t kPortTypeEthernet = 3;
constexpr std::uint8_t kPortTypeDMX512 = 4;
constexpr std::uint8_t kPortTypeMIDI = 5;
constexpr std::uint8_t kPortTypeUSB = 6;
constexpr std::uint8_t kPortTypeCount = 7;

// The keyword of the port type, or null beyond the table.
const char* ProductDataPortTypeName(std::uint8_t type);
// The first type whose keyword equals the text ignoring ASCII case with equal lengths; 0 for
// none, an unknown text or null.
std::uint8_t ProductDataPortTypeFromName(const QORString_c* text);

class ProductDataPort_c : public ShowResourceIO_c {
public:
    std::unique_ptr<QORObject_c> Create() const override;
    // Binds as a resource variable (with its rules) and names the element "port"; a node that
    // is not an element leaves the port unbound and answers 254.
    std::uint8_t Bind(ShowXML_c* element) override;
    // The "type" attribute's type (created empty when missing): 0-6, never failing.
    std::uint8_t Type();
    // Writes the keyword of the type (0-6); the same text answers 2 and commits nothing.
    std::uint8_t SetType(std::uint8_t type);

private:
    ShowXML_c* TypeAttribute();

    ShowXML_c* m_type = nullptr;
};

class ShowDataInfoAuthors_c : public ShowXMLInterface_c {
public:
    ShowDataInfoAuthors_c();

    std::unique_ptr<QORObject_c> Create() const override;
    // Binds the "authors" child of the info element, creating it when missing.
    std::uint8_t Bind(ShowXML_c* infoElement) override;
    // Binds again from the bound element's parent.
    std::uint8_t Rebind() override;
};

class ShowDataInfo_c : public ShowXMLInterface_c {
public:
    ShowDataInfo_c();
    ~ShowDataInfo_c() override;

    std::unique_ptr<QORObject_c> Create() const override;
    void SetChangeTracking(std::uint8_t tracking) override;
    // Binds the "info" child of the parent element (created when missing) and its authors.
    std::uint8_t Bind(ShowXML_c* parent) override;
    // Binds again from the bound element's parent.
    std::uint8_t Rebind() override;
    // The base search, then the version and description elements, then the authors binder's.
    ShowXMLInterface_c* FindBinding(const QORXML_c* node) override;

    // The "description" child (created with the empty text when missing); cached; null unbound.
    ShowXML_c* Description();
    // The "version" child (created with "1.0" when missing); cached; null unbound.
    ShowXML_c* Version();
    ShowDataInfoAuthors_c* Authors() const { return m_authors.get(); }

private:
    std::unique_ptr<ShowDataInfoAuthors_c> m_authors;
    ShowXML_c* m_description = nullptr;
    ShowXML_c* m_version = nullptr;
};
