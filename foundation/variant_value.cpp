#include "foundation/variant_value.h"

#include "foundation/conversions.h"
#include "foundation/object_list.h"

#include <cmath>
#include <cstring>
#include <new>

QORValue_c::QORValue_c() = default;

QORValue_c::~QORValue_c() = default;

std::unique_ptr<QORObject_c> QORValue_c::Create() const {
    return std::unique_ptr<QORObject_c>(new (std::nothrow) QORValue_c());
}

std::uint8_t QORValue_c::CopyTo(QORObject_c* target) const {
    std::uint8_t status = QORObject_c::CopyTo(target);
    if (status != QOR_OK) {
        return status;
    }
    auto* other = dynamic_cast<QORValue_c*>(target);
    if (other == nullptr) {
        return QOR_ERROR;
    }
    // The getters cache forms, so reading a value changes its caches but never its value.
    return other->Assign(const_cast<QORValue_c*>(this));
}

void QORValue_c::ClearForms() {
    m_text.reset();
    ClearFormsButText();
}

void QORValue_c::ClearFormsButText() {
    m_bytes.reset();
    m_int = 0;
    m_signed = QOR_TRUE;
    m_double = 0.0;
    m_intValid = m_doubleValid = m_textValid = m_bytesValid = QOR_FALSE;
}

void QORValue_c::SetInteger(std::uint8_t type, std::int32_t value, bool isSigned) {
    ClearForms();
    m_type = type;
    m_int = value;
    m_signed = isSigned ? QOR_TRUE : QOR_FALSE;
    m_intValid = QOR_TRUE;
}

void QORValue_c::SetInt8(std::int8_t value) {
    SetInteger(QOR_TYPE_INT8, value, true);
}
void QORValue_c::SetUInt8(std::uint8_t value) {
    SetInteger(QOR_TYPE_UINT8, value, false);
}
void QORValue_c::SetInt16(std::int16_t value) {
    SetInteger(QOR_TYPE_INT16, value, true);
}
void QORValue_c::SetUInt16(std::uint16_t value) {
    SetInteger(QOR_TYPE_UINT16, value, false);
}
void QORValue_c::SetInt32(std::int32_t value) {
    SetInteger(QOR_TYPE_INT32, value, true);
}

void QORValue_c::SetUInt32(std::uint32_t value) {
    SetInteger(QOR_TYPE_UINT32, static_cast<std::int32_t>(value), false);
}

void QORValue_c::SetDouble(double value) {
    ClearForms();
    m_type = QOR_TYPE_DOUBLE;
    m_double = value;
    m_doubleValid = QOR_TRUE;
}

void QORValue_c::SetText(const char* text, std::int32_t length, std::uint8_t detect) {
    // The text object is kept (values are set over and over while a tree is copied or bound);
    // its Assign copies before it frees, so a value may take its own text.
    QORString_c& fresh = m_text ? *m_text : m_text.emplace();
    if (text != nullptr) {
        fresh.Assign(text, length, QOR_FALSE);
    } else {
        fresh.Clear();
    }
    ClearFormsButText();
    m_type = QOR_TYPE_TEXT;
    m_textValid = QOR_TRUE;
    if (detect == QOR_TRUE) {
        DetectNumericType();
    }
}

void QORValue_c::SetString(const QORString_c* text, std::uint8_t detect) {
    if (text == nullptr) {
        SetText(nullptr, QOR_WHOLE, detect);
        return;
    }
    SetText(text->Chars(), text->Length(), detect);
}

void QORValue_c::SetBytes(const QORBuffer_c* bytes) {
    auto fresh = std::make_unique<QORBuffer_c>();
    const std::int32_t end = bytes != nullptr ? bytes->ReadableEnd() : 0;
    const bool sized = fresh->Resize(end) == QOR_OK;
    if (sized && end > 0) {
        fresh->CopyIn(end, bytes->Data());
    }
    ClearForms();
    if (!sized) {
        m_type = QOR_TYPE_NONE;
        return;
    }
    m_bytes = std::move(fresh);
    m_type = QOR_TYPE_BYTES;
    m_bytesValid = QOR_TRUE;
}

void QORValue_c::Reset(std::uint8_t type) {
    ClearForms();
    m_type = type;
    switch (type) {
    case QOR_TYPE_NONE:
        m_intValid = m_doubleValid = m_textValid = m_bytesValid = QOR_TRUE;
        break;
    case QOR_TYPE_TEXT:
        m_textValid = QOR_TRUE;
        break;
    case QOR_TYPE_DOUBLE:
        m_doubleValid = QOR_TRUE;
        break;
    case QOR_TYPE_BYTES:
        m_bytesValid = QOR_TRUE;
        break;
    default:
        m_intValid = QOR_TRUE;
        break;
    }
}

QORString_c* QORValue_c::Text() {
    if (!m_text) {
        m_text.emplace();
    }
    return &*m_text;
}

QORBuffer_c* QORValue_c::Bytes() {
    if (!m_bytes) {
        m_bytes = std::make_unique<QORBuffer_c>();
    }
    return m_bytes.get();
}

namespace {

void SetStatus(std::uint8_t* status, std::uint8_t value) {
    if (status != nullptr) {
        *status = value;
    }
}

// A rounded double (within plus or minus 2^32) as the 32-bit integer it wraps to.
std::int32_t WrapToInt32(double rounded) {
    const auto wide = static_cast<std::int64_t>(rounded);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(wide));
}

} // namespace

std::int32_t QORValue_c::GetInt(std::uint8_t* status) {
    SetStatus(status, QOR_OK);
    if (m_intValid == QOR_TRUE) {
        return m_int;
    }
    if (m_doubleValid == QOR_TRUE) {
        double rounded;
        switch (m_roundingMode) {
        case QOR_ROUND_UP:
            rounded = QORCeil(m_double);
            break;
        case QOR_ROUND_NEAREST:
            rounded = QORRound(m_double);
            break;
        default:
            rounded = QORTrunc(m_double);
            break;
        }
        m_int = std::isfinite(rounded) ? WrapToInt32(rounded) : 0;
        m_signed = QOR_TRUE;
        m_intValid = QOR_TRUE;
        return m_int;
    }
    if (m_textValid == QOR_TRUE) {
        QORString_c* text = Text();
        std::uint8_t parsed = QOR_OK;
        const std::int32_t value = QORTextToInt(text->Chars(), text->Length(), &parsed);
        if (parsed != QOR_ERROR) {
            m_int = value;
            // A text detected as unsigned 32-bit holds only digits: it keeps its sign in the
            // double form and in compares (4294967295 is not -1).
            m_signed = m_type == QOR_TYPE_UINT32 ? QOR_FALSE : QOR_TRUE;
            m_intValid = QOR_TRUE;
            return m_int;
        }
        const std::uint8_t word = QORParseBoolWord(text, 5);
        if (word == QOR_ERROR) {
            SetStatus(status, QOR_ERROR);
            return 0;
        }
        m_int = word == QOR_TRUE ? 1 : 0;
        m_signed = QOR_FALSE;
        m_intValid = QOR_TRUE;
        return m_int;
    }
    if (m_bytesValid == QOR_TRUE) {
        SetStatus(status, QOR_ERROR);
        return 0;
    }
    Reset(QOR_TYPE_NONE);
    return 0;
}

double QORValue_c::GetDouble(std::uint8_t* status) {
    SetStatus(status, QOR_OK);
    if (m_doubleValid == QOR_TRUE) {
        return m_double;
    }
    if (m_intValid == QOR_TRUE) {
        // An unsigned 32-bit integer keeps its sign flag: 4294967295 stays positive.
        m_double = m_signed == QOR_TRUE ? static_cast<double>(m_int)
                                        : static_cast<double>(static_cast<std::uint32_t>(m_int));
        m_doubleValid = QOR_TRUE;
        return m_double;
    }
    if (m_textValid == QOR_TRUE) {
        QORString_c* text = Text();
        std::uint8_t parsed = QOR_OK;
        const double value = QORTextToDouble(text->Chars(), text->Length(), &parsed);
        if (parsed == QOR_ERROR) {
            SetStatus(status, QOR_ERROR);
            return 0.0;
        }
        m_double = value;
        m_doubleValid = QOR_TRUE;
        return m_double;
    }
    if (m_bytesValid == QOR_TRUE) {
        SetStatus(status, QOR_ERROR);
        return 0.0;
    }
    Reset(QOR_TYPE_NONE);
    return 0.0;
}

QORString_c* QORValue_c::GetText(std::uint8_t* status) {
    SetStatus(status, QOR_OK);
    QORString_c* text = Text();
    if (m_textValid == QOR_TRUE) {
        return text;
    }
    if (m_intValid == QOR_TRUE) {
        char digits[16];
        char* out = digits;
        if (m_type == QOR_TYPE_BOOL) {
            text->Assign(m_int == 1 ? "on" : "off");
        } else {
            std::uint32_t magnitude = static_cast<std::uint32_t>(m_int);
            if (m_signed == QOR_TRUE && m_int < 0) {
                *out++ = '-';
                magnitude = 0u - magnitude;
            }
            QORUIntToText(out, static_cast<std::int32_t>(digits + sizeof digits - out), magnitude,
                          nullptr);
            text->Assign(digits);
        }
    } else if (m_doubleValid == QOR_TRUE) {
        char number[65];
        std::int32_t count = 0;
        if (QORSignedDoubleToText(m_double, sizeof number, number, &count, m_decimals) == nullptr) {
            count = 0;
        }
        text->Assign(number, count);
    } else if (m_bytesValid == QOR_TRUE && Bytes()->ReadableEnd() > 0) {
        text->AssignEscaped(m_bytes->Data(), m_bytes->ReadableEnd());
    } else {
        text->Clear();
    }
    m_textValid = QOR_TRUE;
    return text;
}

QORBuffer_c* QORValue_c::GetBytes(std::uint8_t* status) {
    SetStatus(status, QOR_OK);
    QORBuffer_c* bytes = Bytes();
    if (m_bytesValid == QOR_TRUE) {
        return bytes;
    }
    if (m_textValid == QOR_TRUE) {
        QORString_c* text = Text();
        SetStatus(status, QORParseBinaryText(text->Length(), text->Chars(), bytes));
        return bytes;
    }
    if (m_intValid == QOR_TRUE && m_type >= QOR_TYPE_INT8 && m_type <= QOR_TYPE_UINT32) {
        const std::int32_t width = m_type <= QOR_TYPE_UINT8 ? 1 : m_type <= QOR_TYPE_UINT16 ? 2 : 4;
        if (bytes->Resize(width) != QOR_OK) {
            SetStatus(status, QOR_ERROR);
            return bytes;
        }
        const auto value = static_cast<std::uint32_t>(m_int);
        for (std::int32_t i = 0; i < width; ++i) {
            bytes->Data()[i] = static_cast<std::uint8_t>(value >> (8 * (width - 1 - i)));
        }
        return bytes;
    }
    bytes->Resize(0);
    SetStatus(status, QOR_ERROR);
    return bytes;
}

std::uint8_t QORValue_c::GetBool() {
    return GetInt() == 1 ? QOR_TRUE : QOR_FALSE;
}

void QORValue_c::InvalidateAllBut(std::uint8_t type) {
    const bool integer = type >= QOR_TYPE_INT8 && type <= QOR_TYPE_BOOL;
    if (type != QOR_TYPE_TEXT) {
        m_textValid = QOR_FALSE;
    }
    if (type != QOR_TYPE_DOUBLE) {
        m_doubleValid = QOR_FALSE;
    }
    if (type != QOR_TYPE_BYTES) {
        m_bytesValid = QOR_FALSE;
    }
    if (!integer) {
        m_intValid = QOR_FALSE;
    }
}

std::uint8_t QORValue_c::ConvertTo(std::uint8_t type) {
    if (type > QOR_TYPE_BYTES) {
        return QOR_ERROR;
    }
    if (type == m_type) {
        return QOR_OK;
    }
    std::uint8_t status = QOR_OK;
    switch (type) {
    case QOR_TYPE_NONE:
        Reset(QOR_TYPE_NONE);
        return QOR_OK;
    case QOR_TYPE_TEXT:
        GetText(&status);
        break;
    case QOR_TYPE_DOUBLE:
        GetDouble(&status);
        break;
    case QOR_TYPE_BYTES: {
        QORBuffer_c* bytes = GetBytes(&status);
        m_bytesValid = status == QOR_OK && bytes != nullptr ? QOR_TRUE : QOR_FALSE;
        break;
    }
    default: {
        const std::int32_t value = GetInt(&status);
        if (status != QOR_OK) {
            break;
        }
        switch (type) {
        case QOR_TYPE_INT8:
            SetInt8(static_cast<std::int8_t>(value));
            break;
        case QOR_TYPE_UINT8:
            SetUInt8(static_cast<std::uint8_t>(value));
            break;
        case QOR_TYPE_INT16:
            SetInt16(static_cast<std::int16_t>(value));
            break;
        case QOR_TYPE_UINT16:
            SetUInt16(static_cast<std::uint16_t>(value));
            break;
        case QOR_TYPE_INT32:
            SetInt32(value);
            break;
        case QOR_TYPE_UINT32:
            SetUInt32(static_cast<std::uint32_t>(value));
            break;
        default: // boolean
            SetInteger(QOR_TYPE_BOOL, value == 1 ? 1 : 0, false);
            break;
        }
        return QOR_OK;
    }
    }
    m_type = type;
    if (status != QOR_OK) {
        // The form of the new type could not be made: no form is left valid.
        m_intValid = m_doubleValid = m_textValid = m_bytesValid = QOR_FALSE;
        return QOR_ERROR;
    }
    InvalidateAllBut(type);
    return QOR_OK;
}

std::uint8_t QORValue_c::DetectNumericType() {
    if (m_type != QOR_TYPE_TEXT) {
        return m_type;
    }
    const QORString_c* text = Text();
    const char* chars = text->Chars();
    const std::int32_t length = text->Length();
    int state = 0;
    int spaces = 0;
    for (std::int32_t i = 0; i < length; ++i) {
        const char c = chars[i];
        const bool digit = c >= '0' && c <= '9';
        if (c == ' ') {
            ++spaces;
            continue;
        }
        if (state == 0) {
            if (digit) {
                state = 8;
            } else if (c == '.') {
                state = 2;
            } else if (c == '-') {
                state = 7;
            } else {
                return m_type; // stays text
            }
            spaces = 0;
        } else if (state == 2) {
            if (!digit || spaces > 0) {
                return m_type;
            }
        } else { // 7 and 8: an integer so far
            if (digit && spaces == 0) {
                continue;
            }
            if (c == '.' && spaces == 0) {
                state = 2;
                spaces = 0;
                continue;
            }
            return m_type;
        }
    }
    m_type = static_cast<std::uint8_t>(state);
    return m_type;
}

std::uint8_t QORValue_c::Compare(QORValue_c* other, std::uint8_t type, std::uint8_t mode,
                                 std::uint8_t prefix) {
    if (other == nullptr) {
        return QOR_CMP_NONE;
    }
    if (type == QOR_TYPE_NONE) {
        type = m_type;
    }
    std::uint8_t status = QOR_OK;
    switch (type) {
    case QOR_TYPE_TEXT: {
        QORString_c* mine = GetText();
        QORString_c* theirs = other->GetText();
        const std::int32_t limit = prefix == QOR_TRUE ? theirs->Length() : 0;
        return QORCompareText(theirs->Chars(), mine, mode, limit, theirs->Length());
    }
    case QOR_TYPE_DOUBLE: {
        const double b = other->GetDouble(&status);
        if (status == QOR_ERROR) {
            return QOR_CMP_NONE;
        }
        const double a = GetDouble();
        return a > b ? QOR_CMP_ONE : (a < b ? QOR_CMP_OTHER : QOR_CMP_EQUAL);
    }
    case QOR_TYPE_INT8:
    case QOR_TYPE_UINT8:
    case QOR_TYPE_INT16:
    case QOR_TYPE_UINT16:
    case QOR_TYPE_INT32:
    case QOR_TYPE_UINT32: {
        const std::int32_t b = other->GetInt(&status);
        if (status == QOR_ERROR) {
            return QOR_CMP_NONE;
        }
        const std::int32_t a = GetInt();
        std::int64_t x = a;
        std::int64_t y = b;
        switch (type) {
        case QOR_TYPE_INT8:
            x = static_cast<std::int8_t>(a);
            y = static_cast<std::int8_t>(b);
            break;
        case QOR_TYPE_UINT8:
            x = static_cast<std::uint8_t>(a);
            y = static_cast<std::uint8_t>(b);
            break;
        case QOR_TYPE_INT16:
            x = static_cast<std::int16_t>(a);
            y = static_cast<std::int16_t>(b);
            break;
        case QOR_TYPE_UINT16:
            x = static_cast<std::uint16_t>(a);
            y = static_cast<std::uint16_t>(b);
            break;
        case QOR_TYPE_UINT32:
            // Unsigned 32-bit values keep their sign: 4294967295 is above 1.
            x = static_cast<std::uint32_t>(a);
            y = static_cast<std::uint32_t>(b);
            break;
        default:
            break;
        }
        return x > y ? QOR_CMP_ONE : (x < y ? QOR_CMP_OTHER : QOR_CMP_EQUAL);
    }
    case QOR_TYPE_BYTES: {
        QORBuffer_c* mine = GetBytes();
        const std::int32_t mineLength = mine->ReadableEnd();
        QORBuffer_c* theirs = other->GetBytes();
        const std::int32_t theirLength = theirs->ReadableEnd();
        if (prefix == QOR_TRUE ? mineLength < theirLength : mineLength != theirLength) {
            return QOR_CMP_NONE;
        }
        if (theirLength == 0) {
            return QOR_CMP_EQUAL;
        }
        return QORCompareBytes(mine->Data(), theirs->Data(), theirLength);
    }
    default:
        return QOR_CMP_NONE;
    }
}

std::uint8_t QORValue_c::Assign(QORValue_c* source) {
    if (source == nullptr) {
        return QOR_ERROR;
    }
    m_decimals = source->m_decimals;
    if (source->m_roundingMode < 4) {
        m_roundingMode = source->m_roundingMode;
    }
    const std::uint8_t type = source->m_type;
    switch (type) {
    case QOR_TYPE_NONE:
        Reset(QOR_TYPE_NONE);
        break;
    case QOR_TYPE_TEXT:
        SetString(source->GetText(), QOR_FALSE);
        break;
    case QOR_TYPE_DOUBLE:
        SetDouble(source->GetDouble());
        break;
    case QOR_TYPE_BYTES:
        SetBytes(source->GetBytes());
        break;
    case QOR_TYPE_BOOL:
        SetString(source->GetText(), QOR_FALSE);
        ConvertTo(QOR_TYPE_BOOL);
        break;
    default:
        if (type <= QOR_TYPE_UINT32) {
            SetInt32(source->GetInt());
            ConvertTo(type);
        } else {
            Reset(QOR_TYPE_NONE); // a type this class never makes
        }
        break;
    }
    return QOR_OK;
}

std::uint8_t QORParseBoolWord(const QORString_c* text, std::int32_t index) {
    static const char* const words[5][2] = {
        {"false", "true"}, {"off", "on"}, {"no", "yes"}, {"disabled", "enabled"}, {"0", "1"}};
    if (text == nullptr) {
        return QOR_ERROR;
    }
    if (index == 5) {
        for (std::int32_t i = 4; i >= 0; --i) {
            const std::uint8_t answer = QORParseBoolWord(text, i);
            if (answer != QOR_ERROR) {
                return answer;
            }
        }
        return QOR_ERROR;
    }
    if (index < 0 || index > 4) {
        return QOR_ERROR;
    }
    const std::int32_t length = text->Length();
    for (int truth = 1; truth >= 0; --truth) {
        const char* word = words[index][truth];
        if (static_cast<std::int32_t>(std::strlen(word)) == length &&
            QORCompareTextNoCaseN(text->Chars(), word, length) == QOR_CMP_EQUAL) {
            return truth == 1 ? QOR_TRUE : QOR_FALSE;
        }
    }
    return QOR_ERROR;
}
