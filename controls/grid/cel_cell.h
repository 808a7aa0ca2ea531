// One grid cell's properties, each either assigned or not. Cells are filled in layers (column
// default, data source, owner) and each layer adds only what it assigns; a property that is not
// assigned reads as its default.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class QFont;
class QPen;
class QPixmap;
class CELCell;

// Something that FetchCell hands the finished cell to.
class CELCellHook {
public:
    virtual ~CELCellHook() = default;
    virtual void OnCellFetched(CELCell& cell) = 0;
};

using COLORREF = std::uint32_t;

class CELCell {
public:
    enum : std::uint32_t {
        kText = 0x1,
        kText2 = 0x2,
        kLabel = 0x4,
        kValueKind = 0x8,
        kSpare = 0x10,
        kCellType = 0x20,
        kExtStyle = 0x40,
        kTextColour = 0x80,
        kBackground = 0x100,
        kHighlightText = 0x200,
        kHighlight = 0x400,
        kEdgeStyle = 0x800,
        kEdgePen = 0x1000,
        kFont = 0x2000,
        kBitmap = 0x4000,
        kAlignment = 0x8000,
        kDataBlock = 0x10000,
        kJoin = 0x20000,
        kHook = 0x200000,
        kOverlay = 0x800000,
        kReadOnly = 0x1000000,
        kDecimals = 0x2000000,
    };
    // Alignment bits.
    enum : std::uint16_t { kLeft = 1, kRight = 2, kCentre = 4, kBottom = 0x10, kVCentre = 0x20 };
    // Edge style bits.
    enum : std::uint16_t { kSunken = 0x1000, kRaised = 0x2000 };

    CELCell() { Reset(); }
    CELCell(const CELCell& other) { CopyFrom(other); }
    CELCell& operator=(const CELCell& other) {
        if (this != &other)
            CopyFrom(other);
        return *this;
    }
    virtual ~CELCell() = default;

    int SetText(const char* text);
    int SetText(const std::string& text) { return SetText(text.c_str()); }
    int SetNumber(double value);
    // Null when no text is assigned.
    const char* GetValueText() const { return Has(kText) ? text_.c_str() : nullptr; }
    int GetTextLength() const { return Has(kText) ? static_cast<int>(text_.size()) : 0; }
    double GetValueNumber() const;
    int GetValueKind() const { return Has(kValueKind) ? kind_ : 1; }
    bool ReadBool() const;
    const char* GetLabelText() const { return Has(kLabel) ? label_.c_str() : nullptr; }
    int ReadLabel(std::string& out) const;

    int SetTextColour(COLORREF colour) { return Set(kTextColour, textColour_, colour); }
    COLORREF GetTextColour() const;
    int SetBackground(COLORREF colour) { return Set(kBackground, background_, colour); }
    COLORREF GetBackground() const;
    COLORREF GetHighlightTextColour() const;
    COLORREF GetHighlightColour() const;
    int SetEdgeStyle(std::uint16_t bits) { return Set(kEdgeStyle, edge_, bits); }
    std::uint16_t GetEdgeStyle() const { return Has(kEdgeStyle) ? edge_ : 0; }
    const QPen* GetEdgePen() const { return Has(kEdgePen) ? edgePen_ : nullptr; }
    int SetFont(const QFont* font) { return Set(kFont, font_, font); }
    const QFont* GetFont() const { return Has(kFont) ? font_ : nullptr; }
    const QPixmap* GetBitmap() const { return Has(kBitmap) ? bitmap_ : nullptr; }
    int SetAlignment(std::uint16_t bits) { return Set(kAlignment, alignment_, bits); }
    std::uint16_t GetAlignment() const { return Has(kAlignment) ? alignment_ : 0; }
    int SetEditLocked(bool locked) { return Set(kReadOnly, readOnly_, locked ? 1 : 0); }
    bool IsEditLocked() const { return Has(kReadOnly) && readOnly_ != 0; }
    int GetCellType() const { return Has(kCellType) ? cellType_ : 0; }
    int GetExtendedStyle() const { return Has(kExtStyle) ? extStyle_ : 0; }
    CELCellHook* GetHookObject() const { return Has(kHook) ? hook_ : nullptr; }
    CELCell* GetOverlayCell() const { return Has(kOverlay) ? overlay_ : nullptr; }
    int GetDataLength() const { return dataLength_; }

    int SetJoinInfo(int origin, int columnPart, int rowPart);
    // 1 when no join is assigned (outputs untouched).
    int GetJoinInfo(int& origin, int& columnPart, int& rowPart) const;

    bool IsPropertyAssigned(std::uint32_t mask) const { return (mask_ & mask) != 0; }
    std::uint32_t GetAssignedMask() const { return mask_; }
    void SetAssignedMask(std::uint32_t mask) { mask_ = mask; }
    void Reset();

    void CopyTo(CELCell& other) const;
    void CopyFrom(const CELCell& other);
    void AddTo(CELCell& other) const { Merge(*this, other); }
    void AddFrom(const CELCell& other) { Merge(other, *this); }

private:
    static void Merge(const CELCell& from, CELCell& to);
    bool Has(std::uint32_t bit) const { return (mask_ & bit) != 0; }
    template <typename T, typename U> int Set(std::uint32_t bit, T& field, U value) {
        field = static_cast<T>(value);
        mask_ |= bit;
        return 0;
    }

    std::uint32_t mask_ = 0;
    CELCellHook* hook_ = nullptr;
    CELCell* overlay_ = nullptr;
    std::string text_;
    std::string text2_;
    std::string label_;
    std::int16_t kind_ = 1;
    int readOnly_ = 0;
    int spare_ = -1;
    std::int16_t decimals_ = 0;
    int cellType_ = -1;
    int extStyle_ = -1;
    COLORREF textColour_ = 0;
    COLORREF background_ = 0;
    COLORREF highlightText_ = 0;
    COLORREF highlight_ = 0;
    std::uint16_t edge_ = 0;
    const QPen* edgePen_ = nullptr;
    const QFont* font_ = nullptr;
    const QPixmap* bitmap_ = nullptr;
    std::uint16_t alignment_ = 0;
    std::vector<std::uint8_t> data_;
    int dataLength_ = -1;
    bool hasBlock_ = false;
    std::int16_t joinOrigin_ = 0;
    int joinRow_ = -1;
    int joinColumn_ = -1;
};

// A text read as a number the way the C library reads it in the "C" locale, whatever the
// user's locale (what does not parse reads 0).
double ReadDouble(const char* text);

// The default ordering of two cells for sorting (flag 2: descending).
int CompareCellsDefault(const CELCell* first, const CELCell* second, int flags);
