#include "controls/grid/cel_cell.h"

#include "controls/grid/grid_colours.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>

int CELCell::SetText(const char* text) {
    text_ = text ? text : "";
    kind_ = 1;
    mask_ |= kText | kValueKind;
    return 0;
}

int CELCell::SetNumber(double value) {
    // Fixed notation with the cell's decimals (six without), always with a decimal point: the
    // text is read back and compared as a number, so the user's locale must not change it.
    const int decimals = Has(kDecimals) ? std::max<int>(0, decimals_) : 6;
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    text_.assign(buffer, result.ec == std::errc() ? result.ptr : buffer);
    kind_ = 2;
    mask_ |= kText | kValueKind;
    return 0;
}

double ReadDouble(const char* text) {
    // As the C library reads a number in its "C" locale (leading blanks, a sign, decimal or
    // hexadecimal digits, inf, nan, the text after the number ignored), but never with the
    // user's decimal separator.
    const char* p = text;
    const char* end = text + std::strlen(text);
    while (p != end && (*p == ' ' || (*p >= '\t' && *p <= '\r')))
        ++p;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    std::chars_format format = std::chars_format::general;
    const bool hex = end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
    if (hex) {
        format = std::chars_format::hex;
        p += 2;
    }
    double value = 0;
    const auto result = std::from_chars(p, end, value, format);
    if (result.ec == std::errc::result_out_of_range) {
        // Too small for a double reads as 0, too large as infinity.
        const std::string_view digits(p, std::size_t(result.ptr - p));
        const std::size_t exponent = digits.find_first_of(hex ? "pP" : "eE");
        const bool tiny = exponent != std::string_view::npos
                              ? digits.substr(exponent + 1).starts_with('-')
                              : digits.find_first_not_of("0.") == std::string_view::npos ||
                                    digits.starts_with("0.") || digits.starts_with('.');
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (result.ec != std::errc()) {
        value = 0; // no number, or "0x" alone (whose "0" is the number)
    }
    return negative ? -value : value;
}

double CELCell::GetValueNumber() const {
    if (!Has(kText))
        return 0;
    return ReadDouble(text_.c_str());
}

bool CELCell::ReadBool() const {
    if (!Has(kText) || text_.empty())
        return false;
    if (text_[0] == 'T' || text_[0] == 't')
        return true;
    return std::strtol(text_.c_str(), nullptr, 10) != 0;
}

int CELCell::ReadLabel(std::string& out) const {
    if (!Has(kLabel))
        return 1;
    out = label_;
    return 0;
}

COLORREF CELCell::GetTextColour() const {
    return Has(kTextColour) ? textColour_ : grid_colours::SysColour(grid_colours::kWindowText);
}
COLORREF CELCell::GetBackground() const {
    return Has(kBackground) ? background_ : grid_colours::SysColour(grid_colours::kWindow);
}
COLORREF CELCell::GetHighlightTextColour() const {
    return Has(kHighlightText) ? highlightText_
                               : grid_colours::SysColour(grid_colours::kHighlightText);
}
COLORREF CELCell::GetHighlightColour() const {
    return Has(kHighlight) ? highlight_ : grid_colours::SysColour(grid_colours::kHighlight);
}

int CELCell::SetJoinInfo(int origin, int columnPart, int rowPart) {
    joinOrigin_ = static_cast<std::int16_t>(origin);
    joinColumn_ = columnPart;
    joinRow_ = rowPart;
    mask_ |= kJoin;
    return 0;
}

int CELCell::GetJoinInfo(int& origin, int& columnPart, int& rowPart) const {
    if (!Has(kJoin))
        return 1;
    origin = joinOrigin_;
    columnPart = joinColumn_;
    rowPart = joinRow_;
    return 0;
}

void CELCell::Reset() {
    mask_ = 0;
    text_.clear();
    label_.clear();
    spare_ = -1;
    cellType_ = -1;
    extStyle_ = -1;
    data_.clear();
    data_.shrink_to_fit();
    dataLength_ = hasBlock_ ? 0 : -1;
    hasBlock_ = false;
    joinRow_ = -1;
    joinColumn_ = -1;
}

void CELCell::CopyTo(CELCell& other) const {
    other.mask_ = mask_;
    Merge(*this, other);
}

void CELCell::CopyFrom(const CELCell& other) {
    if (this == &other)
        return;
    mask_ = other.mask_;
    Merge(other, *this);
}

void CELCell::Merge(const CELCell& from, CELCell& to) {
    const std::uint32_t m = from.mask_;
    to.mask_ |= m;
    if (m & kText)
        to.text_ = from.text_;
    if (m & kText2)
        to.text2_ = from.text2_;
    if (m & kLabel)
        to.label_ = from.label_;
    if (m & kHook)
        to.hook_ = from.hook_;
    if (m & kOverlay)
        to.overlay_ = from.overlay_;
    if (m & kValueKind)
        to.kind_ = from.kind_;
    if (m & kSpare)
        to.spare_ = from.spare_;
    if (m & kCellType)
        to.cellType_ = from.cellType_;
    if (m & kExtStyle)
        to.extStyle_ = from.extStyle_;
    if (m & kTextColour)
        to.textColour_ = from.textColour_;
    if (m & kBackground)
        to.background_ = from.background_;
    if (m & kHighlightText)
        to.highlightText_ = from.highlightText_;
    if (m & kHighlight)
        to.highlight_ = from.highlight_;
    if (m & kEdgeStyle)
        to.edge_ = from.edge_;
    if (m & kEdgePen)
        to.edgePen_ = from.edgePen_;
    if (m & kFont)
        to.font_ = from.font_;
    if (m & kBitmap)
        to.bitmap_ = from.bitmap_;
    if (m & kAlignment)
        to.alignment_ = from.alignment_;
    if (m & kDataBlock) {
        to.data_ = from.data_;
        to.dataLength_ = static_cast<int>(from.data_.size());
        to.hasBlock_ = true;
    }
    if (m & kJoin) {
        to.joinOrigin_ = from.joinOrigin_;
        to.joinRow_ = from.joinRow_;
        to.joinColumn_ = from.joinColumn_;
    }
    if (m & kDecimals)
        to.decimals_ = from.decimals_;
    if (m & kReadOnly)
        to.readOnly_ = from.readOnly_;
}

int CompareCellsDefault(const CELCell* first, const CELCell* second, int flags) {
    if (flags & 2)
        std::swap(first, second);
    if (!first)
        return second ? -1 : 0;
    if (!second)
        return 1;
    const char* a = first->GetValueText();
    const char* b = second->GetValueText();
    if (!a)
        return b ? -1 : 0;
    if (!b)
        return 1;
    const int kind = first->GetValueKind();
    if (kind == 2 || kind == 3 || kind == 5) {
        const double x = ReadDouble(a), y = ReadDouble(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const int c = std::strcmp(a, b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}
