#include "reproducer/reelvox_fields.h"

#include "foundation/text_string.h"
#include "foundation/variant_value.h"
#include "platform/paths.h"

namespace reelvox_fields {

ShowXML_c* Attribute(ShowXMLInterface_c* binder, ShowXML_c*& cache, const char* name) {
    if (cache == nullptr && binder != nullptr && binder->Element() != nullptr) {
        cache = ShowXML_c::FindOrCreateAttribute(binder->Element(), name);
    }
    return cache;
}

ShowXML_c* ChildElement(ShowXMLInterface_c* binder, ShowXML_c*& cache, const char* name,
                        const char* defaultText) {
    if (cache == nullptr && binder != nullptr && binder->Element() != nullptr) {
        cache = ShowXML_c::FindOrCreateElement(binder->Element(), name, defaultText);
    }
    return cache;
}

std::string Text(ShowXML_c* node) {
    if (node == nullptr) {
        return {};
    }
    QORString_c text;
    if (ShowXMLInterface_c::GetNodeText(node, &text) != QOR_OK) {
        return {};
    }
    return std::string(text.View());
}

bool Int(ShowXML_c* node, std::int32_t* value) {
    *value = 0;
    if (node == nullptr) {
        return false;
    }
    if (ShowXMLInterface_c::GetNodeInt(node, value) != QOR_OK) {
        *value = 0;
        return false;
    }
    return true;
}

std::int32_t IntOr0(ShowXML_c* node) {
    std::int32_t value = 0;
    Int(node, &value);
    return value;
}

std::uint8_t WriteText(ShowXML_c* node, ShowXMLInterface_c* binder, const char* text) {
    if (node == nullptr) {
        return QOR_ERROR;
    }
    return ShowXMLInterface_c::SetNodeText(node, binder, text);
}

std::uint8_t WriteInt(ShowXML_c* node, ShowXMLInterface_c* binder, std::int32_t value) {
    if (node == nullptr) {
        return QOR_ERROR;
    }
    return ShowXMLInterface_c::SetNodeInt(node, &value, binder);
}

std::uint8_t TextBool(ShowXML_c* node) {
    return EqualsNoCase(Text(node), "true") ? QOR_TRUE : QOR_FALSE;
}

std::uint8_t WriteTextBool(ShowXML_c* node, ShowXMLInterface_c* binder, std::uint8_t flag) {
    return WriteText(node, binder, flag == QOR_TRUE ? "true" : "false");
}

std::uint8_t WordBool(std::string_view text) {
    QORString_c string;
    string.Assign(text.data(), static_cast<std::int32_t>(text.size()), QOR_FALSE);
    return QORParseBoolWord(&string, 5);
}

std::uint8_t GroupMember(ShowXML_c* groups, std::uint8_t group) {
    const std::string name = std::to_string(group);
    ShowXML_c* attribute =
        groups != nullptr ? ShowXML_c::FindAttribute(groups, name.c_str()) : nullptr;
    if (attribute == nullptr) {
        return QOR_FALSE;
    }
    const std::uint8_t result = WordBool(Text(attribute));
    if (result != QOR_TRUE) {
        groups->RemoveAttribute(name.c_str(), QOR_WHOLE, nullptr);
    }
    return result;
}

int WordIndex(std::string_view text, const char* const* words, int count) {
    for (int i = 0; i < count; ++i) {
        if (EqualsNoCase(text, words[i])) {
            return i;
        }
    }
    return -1;
}

bool HasAttribute(ShowXML_c* element, const char* name) {
    return element != nullptr && ShowXML_c::FindAttribute(element, name) != nullptr;
}

} // namespace reelvox_fields
