#include "foundation/document_base.h"

std::uint8_t QORDocument_c::CopyTo(QORObject_c* target) const {
    auto* other = dynamic_cast<QORDocument_c*>(target);
    if (other == nullptr || QORObject_c::CopyTo(target) != 2) {
        return 254;
    }
    other->m_flags = m_flags;
    return other->SetTypeName(m_typeName.get());
}

std::uint8_t QORDocument_c::IsModified() const {
    return (m_flags & kModified) ? 3 : 253;
}

QORString_c* QORDocument_c::TypeName() {
    if (!m_typeName) {
        m_typeName = std::make_unique<QORString_c>();
    }
    return m_typeName.get();
}

std::uint8_t QORDocument_c::SetTypeName(const QORString_c* name) {
    if (name == nullptr) {
        TypeName()->Clear();
        return 254;
    }
    return name->AssignTo(TypeName()) == -2 ? 254 : 2;
}

QORString_c* QORDocument_c::ShortName() {
    if (!m_shortName) {
        m_shortName = std::make_unique<QORString_c>();
    }
    return m_shortName.get();
}

std::uint8_t QORDocument_c::SetShortName(const QORString_c* name) {
    if (name == nullptr) {
        return 254;
    }
    if (name->Length() <= 0) {
        m_shortName.reset();
        return 254;
    }
    return name->AssignTo(ShortName()) == -2 ? 254 : 2;
}
