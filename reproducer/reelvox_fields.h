// Field access shared by the reproducer configuration binders: nodes found or created on first
// use and kept in the binder, texts and integers read and written through the binding layer, and
// the two boolean forms (text booleans, "true" only; word booleans of the value class).
#pragma once

#include "platform/paths.h"

#include "reproducer/show_xml.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace reelvox_fields {

// The attribute of the binder's element, found or created empty, kept in the cache.
ShowXML_c* Attribute(ShowXMLInterface_c* binder, ShowXML_c*& cache, const char* name);
// The direct child element of the binder's element, found or created with the default text.
ShowXML_c* ChildElement(ShowXMLInterface_c* binder, ShowXML_c*& cache, const char* name,
                        const char* defaultText);
// The node's text; empty when it has none.
std::string Text(ShowXML_c* node);
// The node's integer form: true with the value when readable, false with 0 otherwise.
bool Int(ShowXML_c* node, std::int32_t* value);
// The integer, 0 when unreadable.
std::int32_t IntOr0(ShowXML_c* node);
std::uint8_t WriteText(ShowXML_c* node, ShowXMLInterface_c* binder, const char* text);
std::uint8_t WriteInt(ShowXML_c* node, ShowXMLInterface_c* binder, std::int32_t value);
// Text booleans: "true" (any case) reads 3, anything else 253; flag 3 writes "true", else
// "false".
std::uint8_t TextBool(ShowXML_c* node);
std::uint8_t WriteTextBool(ShowXML_c* node, ShowXMLInterface_c* binder, std::uint8_t flag);
// A boolean word of any pair: 3 true, 253 false, 254 neither.
std::uint8_t WordBool(std::string_view text);

using platform::EqualsNoCase;
// The index of the word equal to the text without regard to case, or -1.
int WordIndex(std::string_view text, const char* const* words, int count);

// A member of a group list: the attribute named by the group's number in `groups` read as a
// word boolean (253 when there is none). Only a yes keeps a group: anything else is dropped
// from the element.
std::uint8_t GroupMember(ShowXML_c* groups, std::uint8_t group);

// Whether the element has a live attribute of that name.
bool HasAttribute(ShowXML_c* element, const char* name);

} // namespace reelvox_fields
