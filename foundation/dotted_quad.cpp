#include "foundation/dotted_quad.h"

#include "foundation/byte_buffer.h"
#include "foundation/object_list.h"
#include "foundation/text_string.h"

std::uint8_t QORParseDottedQuad(const QORString_c* text, QORBuffer_c* target) {
    if (text == nullptr || target == nullptr) {
        return 254;
    }
    // A borrowed view: the pieces are cut from the text without copying it first.
    QORBuffer_c view;
    const auto chars = text->View();
    if (chars.empty()) {
        return 254;
    }
    view.Attach(reinterpret_cast<std::uint8_t*>(const_cast<char*>(chars.data())),
                static_cast<std::int32_t>(chars.size()), 253);
    QORList_c pieces;
    const std::int32_t count = view.Split(&pieces, '.');
    view.Attach(nullptr, 0, 253);
    if (count < 0 || target->Remaining() < count) {
        return 254;
    }
    for (auto* node = pieces.First(); node != nullptr; node = node->next) {
        const auto* piece = static_cast<const QORBuffer_c*>(node->object);
        const std::int32_t length = piece != nullptr ? piece->ReadableEnd() : 0;
        if (length == 0) {
            return 254;
        }
        unsigned value = 0;
        for (std::int32_t i = 0; i < length; ++i) {
            const std::uint8_t c = piece->Data()[i];
            if (c < '0' || c > '9') {
                return 254;
            }
            value = value * 10 + (c - '0');
            if (value > 255) {
                return 254;
            }
        }
        const std::uint8_t byte = static_cast<std::uint8_t>(value);
        if (target->Write(&byte, 1) != 1) {
            return 254;
        }
    }
    // A trailing '.' leaves an empty last piece, which the split does not list.
    return chars.back() == '.' ? 254 : 2;
}
