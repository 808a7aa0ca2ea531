#include "foundation/xml_text.h"

#include "foundation/byte_buffer.h"
#include "foundation/status.h"
#include "foundation/text_string.h"

#include <atomic>
#include <cstring>
#include <new>

namespace {

struct Entity {
    char character;
    std::string_view name; // between '&' and ';'
    std::string_view text; // the whole entity
};

constexpr Entity kEntities[] = {
    {'&', "amp", "&amp;"},    {'>', "gt", "&gt;"},     {'<', "lt", "&lt;"},
    {'\'', "apos", "&apos;"}, {'"', "quot", "&quot;"},
};

const Entity* EntityFor(char c) {
    for (const Entity& e : kEntities) {
        if (e.character == c) {
            return &e;
        }
    }
    return nullptr;
}

std::atomic<std::uint8_t> g_writeHidden{QOR_FALSE};

} // namespace

std::size_t QORXMLEscapedLength(std::string_view text) {
    std::size_t length = 0;
    for (char c : text) {
        const Entity* e = EntityFor(c);
        length += e != nullptr ? e->name.size() + 2 : 1;
    }
    return length;
}

std::string QORXMLUnescapeText(std::string_view text, std::int32_t* decoded) {
    std::string out;
    out.reserve(text.size());
    std::int32_t count = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '&') {
            out.push_back(text[i++]);
            continue;
        }
        // An entity runs from '&' to the next ';'; a second '&' before it starts a new one.
        std::size_t j = i + 1;
        while (j < text.size() && text[j] != ';' && text[j] != '&') {
            ++j;
        }
        if (j == text.size()) {
            out.append(text.substr(i));
            break;
        }
        if (text[j] == '&') {
            out.append(text.substr(i, j - i));
            i = j;
            continue;
        }
        const std::string_view name = text.substr(i + 1, j - i - 1);
        const Entity* match = nullptr;
        for (const Entity& e : kEntities) {
            if (e.name == name) {
                match = &e;
            }
        }
        if (match != nullptr) {
            out.push_back(match->character);
            ++count;
        } else {
            out.append(text.substr(i, j - i + 1));
        }
        i = j + 1;
    }
    if (decoded != nullptr) {
        *decoded = count;
    }
    return out;
}

std::int32_t QORXMLEscapedSize(const QORBuffer_c* buffer) {
    if (buffer == nullptr) {
        return QOR_COUNT_ERROR;
    }
    if (buffer->Data() == nullptr || buffer->ReadableEnd() <= 0) {
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char*>(buffer->Data()),
                                static_cast<std::size_t>(buffer->ReadableEnd()));
    const std::size_t length = QORXMLEscapedLength(text);
    return length == text.size() ? 0 : static_cast<std::int32_t>(length);
}

// Works on the readable bytes from the start of the storage, as the text of a string is held.
std::int32_t QORXMLEscape(QORBuffer_c* buffer) {
    if (buffer == nullptr) {
        return QOR_COUNT_ERROR;
    }
    if (buffer->Data() == nullptr || buffer->ReadableEnd() <= 0) {
        return 0;
    }
    try {
        const std::string original(reinterpret_cast<const char*>(buffer->Data()),
                                   static_cast<std::size_t>(buffer->ReadableEnd()));
        std::string escaped;
        escaped.reserve(QORXMLEscapedLength(original));
        std::int32_t replaced = 0;
        for (char c : original) {
            const Entity* e = EntityFor(c);
            if (e == nullptr) {
                escaped.push_back(c);
                continue;
            }
            escaped.append(e->text);
            ++replaced;
        }
        if (replaced == 0) {
            return 0;
        }
        const auto length = static_cast<std::int32_t>(escaped.size());
        if (buffer->Resize(length) != QOR_OK) {
            // Put the text back as it was.
            const auto back = static_cast<std::int32_t>(original.size());
            if (buffer->Resize(back) == QOR_OK) {
                buffer->CopyIn(back, original.data());
            }
            return QOR_COUNT_ERROR;
        }
        buffer->CopyIn(length, escaped.data());
        return replaced;
    } catch (const std::bad_alloc&) {
        return QOR_COUNT_ERROR;
    }
}

std::int32_t QORXMLUnescape(QORBuffer_c* buffer) {
    if (buffer == nullptr) {
        return QOR_COUNT_ERROR;
    }
    if (buffer->Data() == nullptr || buffer->ReadableEnd() <= 0) {
        return 0;
    }
    try {
        std::int32_t decoded = 0;
        const std::string text =
            QORXMLUnescapeText(std::string_view(reinterpret_cast<const char*>(buffer->Data()),
                                                static_cast<std::size_t>(buffer->ReadableEnd())),
                               &decoded);
        // Decoding never lengthens the text, so it fits where it was.
        std::memcpy(buffer->Data(), text.data(), text.size());
        buffer->Rewind(static_cast<std::int32_t>(text.size()));
        return decoded;
    } catch (const std::bad_alloc&) {
        return QOR_COUNT_ERROR;
    }
}

std::int32_t QORXMLUnescape(QORString_c* text) {
    if (text == nullptr) {
        return QOR_COUNT_ERROR;
    }
    try {
        std::int32_t decoded = 0;
        const std::string plain = QORXMLUnescapeText(text->View(), &decoded);
        if (decoded == 0) {
            return 0;
        }
        if (text->Assign(plain.data(), static_cast<std::int32_t>(plain.size()), QOR_FALSE) < 0) {
            return QOR_COUNT_ERROR;
        }
        return decoded;
    } catch (const std::bad_alloc&) {
        return QOR_COUNT_ERROR;
    }
}

std::string_view QORXMLEntityText(char c) {
    const Entity* e = EntityFor(c);
    return e != nullptr ? e->text : std::string_view();
}

void QORXMLSetWriteHidden(std::uint8_t state) {
    g_writeHidden.store(state);
}

std::uint8_t QORXMLWriteHidden() {
    return g_writeHidden.load();
}
