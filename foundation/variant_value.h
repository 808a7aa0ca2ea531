// QORValue_c: one value of a small closed set of types, converted lazily between its text,
// integer, double and byte forms. Each form is cached once made; the getters try the forms in
// a fixed order, so which form was made first decides what a later getter answers.
#pragma once

#include "foundation/byte_buffer.h"
#include "foundation/object.h"
#include "foundation/text_string.h"

#include <cstdint>
#include <memory>
#include <optional>

// Value types.
constexpr std::uint8_t QOR_TYPE_NONE = 0;
constexpr std::uint8_t QOR_TYPE_TEXT = 1;
constexpr std::uint8_t QOR_TYPE_DOUBLE = 2;
constexpr std::uint8_t QOR_TYPE_INT8 = 3;
constexpr std::uint8_t QOR_TYPE_UINT8 = 4;
constexpr std::uint8_t QOR_TYPE_INT16 = 5;
constexpr std::uint8_t QOR_TYPE_UINT16 = 6;
constexpr std::uint8_t QOR_TYPE_INT32 = 7;
constexpr std::uint8_t QOR_TYPE_UINT32 = 8;
constexpr std::uint8_t QOR_TYPE_BOOL = 9;
constexpr std::uint8_t QOR_TYPE_BYTES = 10;

// How the double form becomes an integer.
constexpr std::uint8_t QOR_ROUND_TRUNC = 0;
constexpr std::uint8_t QOR_ROUND_UP = 1;
constexpr std::uint8_t QOR_ROUND_TRUNC2 = 2;
constexpr std::uint8_t QOR_ROUND_NEAREST = 3;

class QORValue_c : public QORObject_c {
public:
    QORValue_c();
    ~QORValue_c() override;

    std::uint8_t CopyTo(QORObject_c* target) const override;
    std::unique_ptr<QORObject_c> Create() const override;

    // Integer form, then double form (rounded by the rounding mode), then text (a number or a
    // boolean word); a value with only bytes answers 254; a value with no form resets to none.
    virtual std::int32_t GetInt(std::uint8_t* status = nullptr);
    // Bytes form, then text (parsed as byte text), then the integer of types 3 to 8 (most
    // significant byte first); anything else gives empty bytes and 254. Never cached.
    virtual QORBuffer_c* GetBytes(std::uint8_t* status = nullptr);
    // Text form, then integer ("on"/"off" for booleans), then double with the decimals, then the
    // escaped form of the bytes; the text form is valid afterwards.
    virtual QORString_c* GetText(std::uint8_t* status = nullptr);
    double GetDouble(std::uint8_t* status = nullptr);
    // 3 when GetInt answers exactly 1, else 253.
    std::uint8_t GetBool();
    // The text and bytes objects themselves, made empty on first use, valid or not.
    QORString_c* Text();
    QORBuffer_c* Bytes();

    void SetInt8(std::int8_t value);
    void SetUInt8(std::uint8_t value);
    void SetInt16(std::int16_t value);
    void SetUInt16(std::uint16_t value);
    void SetInt32(std::int32_t value);
    void SetUInt32(std::uint32_t value);
    void SetDouble(double value);
    // A null text gives the empty text; detect 3 gives the value its detected numeric type.
    void SetText(const char* text, std::int32_t length = QOR_WHOLE,
                 std::uint8_t detect = QOR_FALSE);
    void SetString(const QORString_c* text, std::uint8_t detect = QOR_FALSE);
    // Copies the source's bytes from its start up to its readable end.
    void SetBytes(const QORBuffer_c* bytes);
    // Clears every form; the given type's form is valid (all of them for type 0).
    void Reset(std::uint8_t type);

    // Makes the form of another type and keeps only it; 254 for an unknown type or when the
    // conversion failed (the value is then left without a valid form).
    std::uint8_t ConvertTo(std::uint8_t type);
    // For a text value: none, double, signed or unsigned 32-bit when the text reads as such.
    std::uint8_t DetectNumericType();
    // Compares in the given type (0 = this value's): 1 when this value is the greater (for
    // texts: sorts after), 255 when smaller, 254 when not comparable. Mode 3 compares texts
    // with case; prefix 3 answers 0 when this value starts with the other.
    std::uint8_t Compare(QORValue_c* other, std::uint8_t type, std::uint8_t mode,
                         std::uint8_t prefix);
    // Takes over the source's type, value, decimals and (when valid) rounding mode.
    std::uint8_t Assign(QORValue_c* source);

    std::uint8_t Type() const { return m_type; }
    bool IsSigned() const { return m_signed == QOR_TRUE; }
    std::uint16_t Decimals() const { return m_decimals; }
    void SetDecimals(std::uint16_t decimals) { m_decimals = decimals; }
    std::uint8_t RoundingMode() const { return m_roundingMode; }
    void SetRoundingMode(std::uint8_t mode) { m_roundingMode = mode; }
    bool IntValid() const { return m_intValid == QOR_TRUE; }
    bool DoubleValid() const { return m_doubleValid == QOR_TRUE; }
    bool TextValid() const { return m_textValid == QOR_TRUE; }
    bool BytesValid() const { return m_bytesValid == QOR_TRUE; }

protected:
    // Deletes the text and bytes objects and marks every form invalid.
    void ClearForms();
    // The same, keeping the text object itself (not its validity).
    void ClearFormsButText();
    void SetInteger(std::uint8_t type, std::int32_t value, bool isSigned);
    void InvalidateAllBut(std::uint8_t type);

    std::uint8_t m_type = QOR_TYPE_NONE;
    std::int32_t m_int = 0;
    std::uint8_t m_signed = QOR_TRUE;
    std::uint8_t m_intValid = QOR_TRUE;
    double m_double = 0.0;
    std::uint16_t m_decimals = 2;
    std::uint8_t m_roundingMode = QOR_ROUND_TRUNC;
    std::uint8_t m_doubleValid = QOR_TRUE;
    std::uint8_t m_textValid = QOR_TRUE;
    std::uint8_t m_bytesValid = QOR_TRUE;
    // Held in place: nearly every value has a text form, and a separately allocated text
    // object cost one allocation more per value.
    std::optional<QORString_c> m_text;
    std::unique_ptr<QORBuffer_c> m_bytes;
};

// Matches a text against a pair of boolean words (0 false/true, 1 off/on, 2 no/yes,
// 3 disabled/enabled, 4 0/1; 5 tries 4 down to 0), ASCII case-insensitively over the whole
// length: 3 for the true word, 253 for the false word, 254 for neither.
std::uint8_t QORParseBoolWord(const QORString_c* text, std::int32_t index);
