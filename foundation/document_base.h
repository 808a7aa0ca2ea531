// The abstract document of the foundation classes: a modified bit, a type name and a short name.
// Documents of the show data implement loading and saving.
#pragma once

#include "foundation/object.h"
#include "foundation/text_string.h"

#include <cstdint>
#include <memory>

class QORBuffer_c;

class QORDocument_c : public QORObject_c {
public:
    static constexpr std::uint8_t kModified = 0x01;

    QORDocument_c() = default;

    // The flags byte and the type name (the short name stays). 254 when the target is not a
    // document or this document has no type name (the target's is then emptied).
    std::uint8_t CopyTo(QORObject_c* target) const override;
    std::unique_ptr<QORObject_c> Create() const override = 0;
    virtual std::int32_t Load(QORBuffer_c* buffer) = 0;
    virtual std::int32_t Save(QORBuffer_c* buffer) = 0;
    // 3 when the modified bit is set, else 253.
    virtual std::uint8_t IsModified() const;

    std::uint8_t Flags() const { return m_flags; }
    void SetFlags(std::uint8_t flags) { m_flags = flags; }

    // Made empty on first use.
    QORString_c* TypeName();
    // Copies the text: 2. A missing text empties the type name and answers 254.
    std::uint8_t SetTypeName(const QORString_c* name);
    // Made empty on first use.
    QORString_c* ShortName();
    // Copies the text: 2. A missing text answers 254; an empty one removes the short name and
    // answers 254.
    std::uint8_t SetShortName(const QORString_c* name);

private:
    std::uint8_t m_flags = 0;
    std::unique_ptr<QORString_c> m_typeName;
    std::unique_ptr<QORString_c> m_shortName;
};
