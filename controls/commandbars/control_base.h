// One command item on a bar: a menu item, a toolbar button, a combo box or an edit field. The
// paint manager measures and draws it; it executes its command through the owner frame.
#pragma once

#include "controls/commandbars/paint_manager.h"
#include "controls/commandbars/ref_object.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <set>

class QPainter;
class CGVPCommandBar;
class CGVPCommandBars;
class CGVPControls;
class CGVPPaintManager;
class CGVPImageManager;
class CGVPImageManagerIcon;

// Hidden-mask bits, by value.
inline constexpr int kHideGeneric = 1;
inline constexpr int kHideWrap = 2;
inline constexpr int kHideDockingPosition = 4;
inline constexpr int kHideScroll = 8;
inline constexpr int kHideCustomize = 0x10;
inline constexpr int kHideExpand = 0x20;
inline constexpr int kHideDocTemplate = 0x40;

// Control flags, by value.
inline constexpr int kFlagRightAlign = 1;
inline constexpr int kFlagSkipFocus = 2;
inline constexpr int kFlagPopupRight = 4;
inline constexpr int kFlagNoUpdate = 8;
inline constexpr int kFlagNoMovable = 0x10;

class CGVPControl : public CGVPRefObject, public IPaintedControl {
public:
    CGVPControl();

    // --- state read by bars and the paint manager
    int GetTag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }
    int GetIndex() const { return index_; }
    int GetID() const override { return int(id_); }
    int GetIconId() const { return iconId_; }
    void SetIconId(int id) { iconId_ = id; }
    int GetCustomIconId() const { return customIconId_; }
    void SetCustomIconId(int id) { customIconId_ = id; }
    // The id the image is found by: custom icon id, else icon id when > 0, else command id.
    int GetImageId() const;
    bool GetWrap() const override { return wrap_; }
    void SetWrap(bool on) { wrap_ = on; }
    bool GetBeginGroup() const override { return beginGroup_; }
    bool GetEnabled() const override { return enabled_; }
    bool GetChecked() const override { return checked_ != 0; }
    int GetCheckState() const { return checked_; }
    void SetChecked(int state) { checked_ = state; }
    int GetSelected() const override { return selected_; }
    int GetPressed() const override { return pressed_; }
    void SetPressed(int state) { pressed_ = state; }
    bool IsTemporary() const { return temporary_; }
    void SetTemporary(bool on) { temporary_ = on; }
    QRect GetRowRect() const { return rowRect_; }
    void SetRowRect(const QRect& r) { rowRect_ = r; }
    QRect GetRect() const override { return rect_; }
    int GetHiddenMask() const { return hiddenMask_; }
    bool IsVisible() const { return hiddenMask_ == 0; }
    int GetFlags() const { return flags_; }
    void SetFlags(int flags) { flags_ = flags; }
    QString GetCaption() const override {
        return customCaption_.isEmpty() ? caption_ : customCaption_;
    }
    QString GetPlainCaption() const { return caption_; }
    void SetCaption(const QString& text);
    QString GetCustomCaption() const { return customCaption_; }
    void SetCustomCaption(const QString& text) { customCaption_ = text; }
    QString GetShortcutText() const override { return shortcut_; }
    void SetShortcutText(const QString& text) { shortcut_ = text; }
    QString GetTooltipText() const { return tooltip_; }
    void SetTooltip(const QString& text) { tooltip_ = text; }
    QString GetDescription() const { return description_; }
    void SetDescription(const QString& text) { description_ = text; }
    QString GetParameter() const { return parameter_; }
    void SetParameter(const QString& text) { parameter_ = text; }
    CGVPControls* GetControls() const { return controls_; }
    int GetType() const override { return type_; }
    void SetType(int type) { type_ = type; }
    CGVPCommandBar* GetParent() const { return parent_; }
    bool IsRarelyUsed() const override { return rarelyUsed_; }
    void SetRarelyUsed(bool on);
    QString GetCategory() const { return category_; }
    void SetCategory(const QString& text) { category_ = text; }
    bool IsDefaultItem() const override { return defaultItem_; }
    void SetItemDefault(bool on) { defaultItem_ = on; }
    std::set<unsigned>& ShownForTemplates() { return shownFor_; }
    std::set<unsigned>& HiddenForTemplates() { return hiddenFor_; }

    // Loads description and tooltip from the string of the new id, then stores the id.
    void SetID(unsigned id);
    // The part after a tab becomes the shortcut text.
    void SetCaptionWithShortcut(const QString& text);
    void SetCaptionFromResource(unsigned stringId);
    void RequestParentLayout();
    void RedrawParent();
    void InvalidateParent() { RedrawParent(); }
    CGVPPaintManager* GetPaintManager() const;
    CGVPImageManager* GetImageManager() const;
    CGVPCommandBars* GetCommandBars() const;
    bool IsCustomizeMode() const;

    // --- virtual operations
    virtual QString GetTooltip() const { return tooltip_; }
    virtual void SetBeginGroup(bool on);
    virtual void SetEnabled(bool on);
    void SetRect(const QRect& rect) override { rect_ = rect; }
    virtual bool IsEqual(const CGVPControl* other) const;
    virtual void SetHiddenMask(int mask) { hiddenMask_ = mask; }
    virtual void Execute();
    virtual QSize GetSize(QPainter& dc);
    virtual void Draw(QPainter& dc);
    virtual void OnCalcDynamicSize(int /*mode*/) {}
    CGVPImageManagerIcon* GetImage(int width) const override;
    bool GetPopuped() const override { return false; }
    IPaintedBar* GetPaintedParent() const override;
    virtual int OnHookKeyDown(int /*vk*/) { return 1; }
    virtual void SetParent(CGVPCommandBar* bar) { parent_ = bar; }
    virtual void Copy(const CGVPControl* from, bool recursive);
    virtual bool SetPopuped(bool /*open*/) { return false; }
    virtual void OnClick(bool /*keyboard*/, QPoint /*point*/) {}
    virtual void OnLButtonUp(QPoint /*point*/) {}
    virtual void OnRButtonUp(QPoint /*point*/) {}
    virtual void OnLButtonDblClk(QPoint /*point*/) {}
    virtual void OnMouseMove(QPoint /*point*/) {}
    virtual void OnMouseHover();
    virtual bool SetSelected(int state);
    virtual CGVPControl* Clone(bool recursive) const;
    // Popup controls (types 2-4 and the combo box) answer true.
    virtual bool IsPopupControl() const { return false; }

protected:
    ~CGVPControl() override;
    // A new, empty control of the same class (Clone copies into it).
    virtual CGVPControl* CreateSame() const { return new CGVPControl; }

private:
    friend class CGVPControls;
    int tag_ = 0;
    int index_ = 0;
    unsigned id_ = 0;
    int iconId_ = 0;
    int customIconId_ = 0;
    bool wrap_ = false;
    bool beginGroup_ = false;
    bool enabled_ = true;
    int checked_ = 0;
    int selected_ = 0;
    int pressed_ = 0;
    bool temporary_ = false;
    QRect rowRect_;
    QRect rect_;
    int hiddenMask_ = 0;
    int flags_ = 0;
    QString caption_, customCaption_, shortcut_, tooltip_, description_, parameter_;
    CGVPControls* controls_ = nullptr;
    int type_ = gvpControlButton;
    CGVPCommandBar* parent_ = nullptr;
    bool rarelyUsed_ = false;
    QString category_;
    bool defaultItem_ = false;
    std::set<unsigned> shownFor_, hiddenFor_;
};

class CGVPControlButton : public CGVPControl {
public:
    int GetStyle() const override { return style_; }
    void SetStyle(int style) {
        style_ = style;
        RequestParentLayout();
    }
    void OnClick(bool keyboard, QPoint point) override;
    void OnLButtonUp(QPoint point) override;
    void Copy(const CGVPControl* from, bool recursive) override;

protected:
    CGVPControl* CreateSame() const override { return new CGVPControlButton; }

private:
    int style_ = 0;
};
