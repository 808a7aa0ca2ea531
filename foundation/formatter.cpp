#include "foundation/formatter.h"

#include "foundation/conversions.h"
#include "foundation/variant_value.h"

#include <cstring>
#include <memory>
#include <new>

void QORBinaryString_c::AddIntArg(std::int32_t number) {
    auto value = std::make_unique<QORValue_c>();
    value->SetTag(QOR_ARG_VALUE);
    value->SetInt32(number);
    if (number >= -127 && number <= 127) {
        value->ConvertTo(QOR_TYPE_INT8);
    } else if (number >= -32767 && number <= 32767) {
        value->ConvertTo(QOR_TYPE_INT16);
    }
    if (m_arguments.InsertAfter(value.get()) == QOR_OK) {
        value.release(); // the owning list holds it now
    }
}

void QORBinaryString_c::AddTextArg(const QORString_c* text) {
    auto copy = std::make_unique<QORString_c>();
    copy->SetTag(QOR_ARG_STRING);
    if (text != nullptr) {
        copy->Assign(text->Chars(), text->Length(), QOR_FALSE);
    }
    if (m_arguments.InsertAfter(copy.get()) == QOR_OK) {
        copy.release(); // the owning list holds it now
    }
}

namespace {

// Appends bytes at the end of a buffer by an exact resize; false when memory is short.
bool AppendBytes(QORBuffer_c& buffer, const void* bytes, std::int32_t count) {
    if (count <= 0) {
        return true;
    }
    const std::int32_t old = buffer.Size();
    if (count > INT32_MAX - 1 - old || buffer.Resize(old + count) != QOR_OK) {
        return false;
    }
    std::memcpy(buffer.Data() + old, bytes, static_cast<std::size_t>(count));
    return true;
}

bool AppendText(QORBuffer_c& buffer, const QORString_c* text) {
    return AppendBytes(buffer, text->Chars(), text->Length());
}

// The bytes from the cursor to the readable end.
bool AppendReadable(QORBuffer_c& scratch, const QORBuffer_c* source) {
    if (source->Cursor() == nullptr) {
        return true;
    }
    return AppendBytes(scratch, source->Cursor(), source->Remaining());
}

std::uint8_t PrintSigned(QORBuffer_c& scratch, std::int32_t number) {
    // Decimal output stops at 12 characters; the zero byte has its own room.
    char text[13];
    char* out = text;
    auto magnitude = static_cast<std::uint32_t>(number);
    if (number < 0) {
        *out++ = '-';
        magnitude = 0u - magnitude;
    }
    std::int32_t digits = 0;
    if (QORUIntToText(out, static_cast<std::int32_t>(text + sizeof text - out), magnitude,
                      &digits) == nullptr) {
        return QOR_ERROR;
    }
    return AppendBytes(scratch, text, static_cast<std::int32_t>(out - text) + digits) ? QOR_OK
                                                                                      : QOR_ERROR;
}

std::uint8_t PrintUnsigned(QORBuffer_c& scratch, std::uint32_t number) {
    char text[13];
    std::int32_t digits = 0;
    if (QORUIntToText(text, sizeof text, number, &digits) == nullptr) {
        return QOR_ERROR;
    }
    return AppendBytes(scratch, text, digits) ? QOR_OK : QOR_ERROR;
}

std::uint8_t PrintFixed(QORBuffer_c& scratch, double number, std::int32_t precision) {
    // Fixed output stops at 32 characters.
    char text[33];
    std::int32_t count = 0;
    if (QORSignedDoubleToText(number, sizeof text, text, &count, precision) == nullptr) {
        return QOR_ERROR;
    }
    return AppendBytes(scratch, text, count) ? QOR_OK : QOR_ERROR;
}

// The integer byte form of types 3 to 8: 1, 2 or 4 bytes, most significant first.
bool AppendIntegerBytes(QORBuffer_c& scratch, QORValue_c* value) {
    const std::uint8_t type = value->Type();
    const std::int32_t width = type <= QOR_TYPE_UINT8 ? 1 : (type <= QOR_TYPE_UINT16 ? 2 : 4);
    const auto number = static_cast<std::uint32_t>(value->GetInt());
    std::uint8_t bytes[4];
    for (std::int32_t i = 0; i < width; ++i) {
        bytes[i] = static_cast<std::uint8_t>(number >> (8 * (width - 1 - i)));
    }
    return AppendBytes(scratch, bytes, width);
}

bool IsIntegerType(std::uint8_t type) {
    return type >= QOR_TYPE_INT8 && type <= QOR_TYPE_UINT32;
}

std::uint8_t HexDump(QORBuffer_c& scratch, const std::uint8_t* bytes, std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i) {
        char pair[2];
        QORByteToHexPair(pair, bytes[i]);
        if (!AppendBytes(scratch, pair, 2)) {
            return QOR_ERROR;
        }
    }
    return QOR_OK;
}

std::uint8_t ConvertValue(QORBuffer_c& scratch, QORValue_c* value, char letter,
                          std::int32_t precision) {
    std::uint8_t status = QOR_OK;
    switch (letter) {
    case 'd': {
        const std::int32_t number = value->GetInt(&status);
        return status == QOR_OK ? PrintSigned(scratch, number) : QOR_ERROR;
    }
    case 'u': {
        const std::int32_t number = value->GetInt(&status);
        return status == QOR_OK ? PrintUnsigned(scratch, static_cast<std::uint32_t>(number))
                                : QOR_ERROR;
    }
    case 'f': {
        value->SetDecimals(static_cast<std::uint16_t>(precision));
        const double number = value->GetDouble(&status);
        return status == QOR_OK ? PrintFixed(scratch, number, precision) : QOR_ERROR;
    }
    case 'X': {
        value->SetDecimals(static_cast<std::uint16_t>(precision));
        const std::uint8_t type = value->Type();
        if (type == QOR_TYPE_BYTES) {
            return QOR_ERROR;
        }
        QORBuffer_c bytes;
        bool made = true;
        if (type == QOR_TYPE_NONE) {
            const std::uint8_t zero = 0;
            made = AppendBytes(bytes, &zero, 1);
        } else if (type == QOR_TYPE_TEXT) {
            made = AppendText(bytes, value->GetText());
        } else if (type == QOR_TYPE_DOUBLE) {
            // Memory order of the host, which is little-endian IEEE 754.
            const double number = value->GetDouble();
            std::uint8_t raw[sizeof number];
            std::memcpy(raw, &number, sizeof number);
            made = AppendBytes(bytes, raw, sizeof raw);
        } else if (type == QOR_TYPE_BOOL) {
            const std::uint8_t flag = value->GetInt() == 1 ? 1 : 0;
            made = AppendBytes(bytes, &flag, 1);
        } else {
            made = AppendIntegerBytes(bytes, value);
        }
        if (!made) {
            return QOR_ERROR;
        }
        return HexDump(scratch, bytes.Data(), bytes.Size());
    }
    case 'p':
        value->SetDecimals(static_cast<std::uint16_t>(precision));
        if (IsIntegerType(value->Type())) {
            return AppendIntegerBytes(scratch, value) ? QOR_OK : QOR_ERROR;
        }
        return AppendText(scratch, value->GetText()) ? QOR_OK : QOR_ERROR;
    case 's':
        return AppendText(scratch, value->GetText()) ? QOR_OK : QOR_ERROR;
    default:
        return QOR_ERROR;
    }
}

std::uint8_t ConvertString(QORBuffer_c& scratch, const QORString_c* text, char letter,
                           std::int32_t precision) {
    switch (letter) {
    case 'd':
    case 'u':
    case 'f': {
        QORValue_c value;
        value.SetString(text, QOR_FALSE);
        return ConvertValue(scratch, &value, letter, precision);
    }
    case 'X':
        return HexDump(scratch, reinterpret_cast<const std::uint8_t*>(text->Chars()),
                       text->Length());
    case 'p':
    case 's':
        return AppendText(scratch, text) ? QOR_OK : QOR_ERROR;
    default:
        return QOR_ERROR;
    }
}

std::uint8_t ConvertBuffer(QORBuffer_c& scratch, const QORBuffer_c* source, char letter) {
    switch (letter) {
    case 'd':
    case 'u': {
        // The last up to four readable bytes, the last one most significant.
        std::uint32_t number = 0;
        const std::int32_t count = source->Cursor() != nullptr ? source->Remaining() : 0;
        const std::int32_t from = count > 4 ? count - 4 : 0;
        for (std::int32_t i = count - 1; i >= from; --i) {
            number = (number << 8) | source->Cursor()[i];
        }
        return letter == 'd' ? PrintSigned(scratch, static_cast<std::int32_t>(number))
                             : PrintUnsigned(scratch, number);
    }
    case 'X':
        return source->Cursor() != nullptr ? HexDump(scratch, source->Cursor(), source->Remaining())
                                           : QOR_OK;
    case 'p':
    case 's':
        return AppendReadable(scratch, source) ? QOR_OK : QOR_ERROR;
    default:
        return QOR_ERROR; // 'f' and letters missing from the table
    }
}

// One conversion into an empty scratch buffer, then the width filled in front of it.
std::uint8_t FormatOne(QORBuffer_c& scratch, QORObject_c* argument, char letter, char pad,
                       std::int32_t width, std::int32_t precision) {
    if (precision < 0) {
        precision = 2;
    }
    std::uint8_t status = QOR_ERROR;
    if (argument != nullptr) {
        // The tag says the kind; the cast checks it, so a mislabelled object is no argument.
        switch (argument->Tag()) {
        case QOR_ARG_VALUE:
            if (auto* value = dynamic_cast<QORValue_c*>(argument)) {
                status = ConvertValue(scratch, value, letter, precision);
            }
            break;
        case QOR_ARG_STRING:
            if (auto* text = dynamic_cast<QORString_c*>(argument)) {
                status = ConvertString(scratch, text, letter, precision);
            }
            break;
        case QOR_ARG_BUFFER:
            if (auto* buffer = dynamic_cast<QORBuffer_c*>(argument)) {
                status = ConvertBuffer(scratch, buffer, letter);
            }
            break;
        default:
            break;
        }
    }
    if (width < 0) {
        return status;
    }
    if (status != QOR_OK) {
        scratch.Resize(0); // a failed conversion contributes only its fill
    }
    scratch.Resize(scratch.ReadableEnd());
    if (scratch.Size() >= width) {
        return QOR_OK;
    }
    const std::uint8_t fill = letter == 'p' ? 0 : static_cast<std::uint8_t>(pad);
    return scratch.PrependFill(width - scratch.Size(), fill);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

QORBuffer_c* QORBinaryString_c::Format() {
    m_output.Resize(0);
    QORListNode_c* node = m_arguments.First();
    m_arguments.SelectNode(node);

    const char* format = m_format.Chars();
    const std::int32_t length = m_format.Length();
    std::int32_t literal = 0; // start of the literal run not yet appended
    bool ok = true;
    auto flush = [&](std::int32_t end) {
        if (ok && end > literal) {
            ok = AppendBytes(m_output, format + literal, end - literal);
        }
    };

    std::int32_t i = 0;
    while (i < length) {
        const char c = format[i];
        if (c == '\\') {
            flush(i);
            std::uint8_t byte = 0;
            const std::int32_t used = QORDecodeEscape(format + i + 1, length - i - 1, &byte);
            if (used > 0) {
                if (ok) {
                    ok = AppendBytes(m_output, &byte, 1);
                }
                i += 1 + used;
            } else {
                i += 2; // an unknown escape drops the backslash and the character after it
            }
            literal = i < length ? i : length;
            continue;
        }
        if (c != '%') {
            ++i;
            continue;
        }
        // A conversion directive: pad, width, precision, letter.
        char pad = ' ';
        std::int32_t width = -1;
        std::int32_t precision = -1;
        bool inPrecision = false;
        char letter = 0;
        std::int32_t j = i + 1;
        while (j < length) {
            const char s = format[j];
            if (IsDigit(s)) {
                if (inPrecision) {
                    precision = precision * 10 + (s - '0');
                } else if (s == '0' && width <= 0) {
                    pad = '0';
                    width = 0;
                } else {
                    width = (width < 0 ? 0 : width) * 10 + (s - '0');
                }
            } else if (s == '.' && !inPrecision) {
                inPrecision = true;
                precision = 0;
            } else {
                letter = s;
                ++j;
                break;
            }
            // Numbers this large are no format anyone writes; keep them from wrapping.
            if (width > 0xFFFF || precision > 0xFFFF) {
                width = width > 0xFFFF ? 0xFFFF : width;
                precision = precision > 0xFFFF ? 0xFFFF : precision;
            }
            ++j;
        }
        flush(i);
        if (letter != 0) {
            QORBuffer_c scratch;
            QORObject_c* argument = node != nullptr ? node->object : nullptr;
            if (FormatOne(scratch, argument, letter, pad, width, precision) == QOR_OK && ok) {
                ok = AppendBytes(m_output, scratch.Data(), scratch.ReadableEnd());
            }
        }
        // Each directive uses up one argument, converted or not.
        if (node != nullptr) {
            node = node->next;
            if (node != nullptr) {
                m_arguments.SelectNode(node);
            }
        }
        i = j;
        literal = i;
    }
    flush(length);
    if (!ok) {
        return nullptr;
    }
    m_output.Rewind(m_output.Size());
    return &m_output;
}
