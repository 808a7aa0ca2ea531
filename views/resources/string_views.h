// The tables of a script's data strings and LCD strings: one row per string in list order and
// an empty last row that starts a new one; insert, delete, and copy, cut and paste through the
// "VelmoraStrings" clipboard block, which both tables read and write. The LCD table adds the
// LCD wizard.
#pragma once

#include "script/strings_clipboard.h"
#include "views/resources/resource_view.h"

#include <functional>

class CStringView;

class StrCel : public EditedCel<> {
public:
    explicit StrCel(CStringView& view);

    void NotifySideHeadingLeftClick(int column, int row, int down, const QRect& rect,
                                    const QPoint& point, int processed) override;
    void OnTableKey(int key, int column, int row, int rows) override;
    bool ClearField(int column, int row) override;
    void NotifyCharTyped(int& ch, int processed) override;
    bool AllowEditStart(int column, int row, CELEdit*& editor) override;
    bool AllowEditFinish(int column, int row, CELEdit* editor, std::string& text,
                         bool cancelled) override;
    int GetCellTipText(int column, int row, int section, std::string& text) override;
    bool NotifyFindDialogClosed() override;

protected:
    CStringView& view_;
};

class DataStrCel : public StrCel {
public:
    using StrCel::StrCel;
};

class LcdCel : public StrCel {
public:
    static constexpr unsigned kLcdWizard = 800;
    static constexpr unsigned kHelp = 801;
    static constexpr unsigned kProperties = 802;
    using StrCel::StrCel;
    void NotifyCellRightClick(int column, int row, int down, const QRect& rect, const QPoint& point,
                              int processed) override;
    void OnCommand(int id) override;
    GVPMenuPtr BuildPopupMenu(int column, int row, int section) override;
    bool OnUpdatePopupCommand(unsigned id, platform::qt::CommandUi& ui) override;
};

// What the two tables differ in.
struct StringTableKind {
    const char* viewClass;
    COLORREF background;
    const char* dataTip;
    const char* deleteCaption;
    const char* memoryMessage;
    const char* printSubtitle;
    CVLDoc::ColGroup widths;
    bool lcd;
};

class CStringView : public CResourceView {
public:
    CStringView(CVLDoc& doc, ViewServices& services, bool lcd, QWidget* parent = nullptr);
    const char* ViewClassName() const override;
    void OnInitialUpdate() override;
    std::vector<int> MinimumWidths() const override;
    CVLDoc::ColGroup WidthGroup() const override;
    const StringTableKind& Kind() const;

    void FillGrid();
    StrCel& Cel() { return *cel_; }

    // The strings of the table's list.
    int StringCount() const;
    StringRecord StringAt(int index) const;
    // Sets field `column` (0 name, 1 data, 2 comment) of a string.
    void SetField(int index, int column, const std::string& text);
    void InsertStrings(int before, const std::vector<StringRecord>& records);
    void EraseStrings(int first, int last);

    void OnInsertString();
    void OnDeleteStrings();
    void OnCopy();
    void OnCut();
    void OnPaste();
    // Appends an empty string (Enter or an edit on the last row).
    void AppendString();
    // Whether the clipboard holds a strings block.
    static bool CanPaste();

protected:
    // The selected run from the active column among rows `from` to `to`: its first and last row,
    // false when none of them is selected.
    bool SelectedRun(int to, int& first, int& last) const;
    // The strings a copy takes, after asking to cut long texts; false to take none.
    bool CopyRun(int& first, int& last);
    void AfterStructureChange();

    bool lcd_;
    StrCel* cel_;
};

class CDataStrView : public CStringView {
public:
    CDataStrView(CVLDoc& doc, ViewServices& services) : CStringView(doc, services, false) {}
};

// The LCD wizard's two lines, in and out, as its dialog edits them.
struct LcdWizardRequest : platform::DialogRequest {
    static constexpr const char* kDialogName = "CLcdWizardDlg";
    const char* DialogName() const override { return kDialogName; }
    int width = 40; // 40: the large display's dialog, 16: the small one's
    std::string line1;
    std::string line2;
    bool forceBlank1 = false;
    bool forceBlank2 = false;
};

// The decoded lines of an LCD string, or the refusal's text.
struct LcdLines {
    std::string line1, line2;
    bool forceBlank1 = false, forceBlank2 = false;
    std::string refusal; // not empty: the string cannot be edited by the wizard
};
LcdLines DecodeLcdLines(const std::string& data, int width);
// The data text the wizard writes for two lines.
std::string EncodeLcdLines(const LcdWizardRequest& lines);

class CLcdStrView : public CStringView {
public:
    CLcdStrView(CVLDoc& doc, ViewServices& services) : CStringView(doc, services, true) {}
    // Runs the wizard of the script's display on the active row's string.
    void OnLcdWizard();
    bool CanRunLcdWizard() const;
    // 40 or 16 by the product's display, 0 when it has none the wizard knows.
    int DisplayWidth() const;
};
