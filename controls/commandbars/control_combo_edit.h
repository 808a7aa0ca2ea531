// The two controls that carry a real field on a bar: the combo box (with its drop-down list)
// and the edit field. The paint manager draws frame, caption and drop button; a frameless line
// edit does the typing.
#pragma once

#include "controls/commandbars/control_popup.h"
#include "controls/commandbars/popup_bar.h"

#include <QLineEdit>
#include <QPointer>
#include <QStringList>

class QListWidget;
class CGVPControlComboBox;
class CGVPControlEdit;

// The toolkit's edit window: hands focus changes and mouse moves to its owner control.
class CGVPEdit : public QLineEdit {
public:
    explicit CGVPEdit(CGVPControl* owner);
    CGVPControl* GetOwner() const { return owner_; }
    void ClearOwner() { owner_ = nullptr; }
    // The edit's own commands (copy, cut, paste): update and execution.
    bool OnUpdateCommand(unsigned id, platform::qt::CommandUi& ui);
    bool OnCommand(unsigned id);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CGVPControl* owner_;
};

class CGVPControlComboBoxList : public CGVPPopupBar {
public:
    CGVPControlComboBoxList();
    QListWidget* ListBox() const { return list_; }
    int GetDropWidth() const { return dropWidth_; }
    void SetDropWidth(int w) { dropWidth_ = w; }
    CGVPControlComboBox* GetComboBox() const { return combo_; }
    bool PopupFor(CGVPControlComboBox* combo);

    bool SetTrackingMode(int mode, bool selectFirst = true, bool keyboard = false) override;
    int OnHookKeyDown(int vk) override;
    void DrawCommandBar(QPainter& dc) override;
    void Copy(const CGVPCommandBar* from, bool recursive) override;

protected:
    ~CGVPControlComboBoxList() override;
    CGVPCommandBar* CreateSame() const override { return new CGVPControlComboBoxList; }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListWidget* list_;
    int dropWidth_ = 0;
    CGVPControlComboBox* combo_ = nullptr;
    bool locked_ = false;
    void SyncListGeometry();
    void resizeEvent(QResizeEvent* event) override;
};

class CGVPControlComboBox : public CGVPControlPopup {
public:
    CGVPControlComboBox();
    static CGVPControlComboBox* CreateObject() { return new CGVPControlComboBox; }

    int GetLabelWidth() const override { return labelWidth_; }
    void SetLabelWidth(int w) override { labelWidth_ = w; }
    int GetDropButtonWidth() const override { return dropButtonWidth_; }
    void SetDropButtonWidth(int w) override { dropButtonWidth_ = w; }
    bool GetEditable() const { return editable_; }
    void SetEditable(bool on);
    int GetLabelStyle() const { return labelStyle_; }
    void SetLabelStyle(int style) { labelStyle_ = style; }
    int GetWidth() const override { return width_; }
    void SetWidth(int w) { width_ = w; }
    CGVPControlComboBoxList* GetList() const;
    void AddString(const QString& text);
    int GetCount() const;
    int GetCurSel() const;
    void SetDropWidth(int w);

    QString GetEditText();
    QString GetSelectedText() const;
    QString GetText() const { return text_; }
    void SelectListItem(int index);
    virtual void ShowSelectedText();
    bool IsDroppedDown() const override;
    QLineEdit* GetEditWindow() const override { return edit_; }
    QString GetListText() const override { return text_; }
    bool GetShowLabel() const override { return labelStyle_ == 1; }

    void SetEnabled(bool on) override;
    void SetHiddenMask(int mask) override;
    void OnCalcDynamicSize(int mode) override;
    void SetRect(const QRect& rect) override;
    void SetParent(CGVPCommandBar* bar) override;
    bool SetSelected(int state) override;
    void OnClick(bool keyboard, QPoint point) override;
    void OnMouseHover() override;
    int OnHookKeyDown(int vk) override;
    void Copy(const CGVPControl* from, bool recursive) override;
    bool SetPopuped(bool open) override;
    virtual void OnSetFocus(QWidget* oldFocus);
    virtual void OnKillFocus();

protected:
    ~CGVPControlComboBox() override;
    CGVPControl* CreateSame() const override { return new CGVPControlComboBox; }

private:
    int labelWidth_ = 0;
    int dropButtonWidth_ = 0;
    CGVPEdit* edit_ = nullptr;
    bool editable_ = false;
    int labelStyle_ = 0;
    int width_ = 100;
    QString text_;
    bool locked_ = false;
};

class CGVPControlEdit : public CGVPControl {
public:
    CGVPControlEdit();
    static CGVPControlEdit* CreateObject() { return new CGVPControlEdit; }

    int GetLabelWidth() const override { return labelWidth_; }
    void SetLabelWidth(int w) override { labelWidth_ = w; }
    int GetWidth() const override { return width_; }
    void SetWidth(int w) { width_ = w; }
    bool GetShowLabel() const override { return showLabel_; }
    void ShowLabel(bool on) { showLabel_ = on; }
    QLineEdit* GetEditWindow() const override { return edit_; }
    QString GetEditText();
    void SetEditText(const QString& text);
    QString GetText() const { return text_; }

    void SetEnabled(bool on) override;
    void SetHiddenMask(int mask) override;
    void OnCalcDynamicSize(int mode) override;
    void SetRect(const QRect& rect) override;
    bool SetSelected(int state) override;
    void OnClick(bool keyboard, QPoint point) override;
    void OnMouseHover() override;
    int OnHookKeyDown(int vk) override;
    void Copy(const CGVPControl* from, bool recursive) override;
    virtual void OnSetFocus(QWidget* oldFocus);
    virtual void OnKillFocus();

protected:
    ~CGVPControlEdit() override;
    CGVPControl* CreateSame() const override { return new CGVPControlEdit; }

private:
    int labelWidth_ = 0;
    CGVPEdit* edit_ = nullptr;
    int width_ = 100;
    QString text_;
    bool showLabel_ = true;
    bool locked_ = false;
};
