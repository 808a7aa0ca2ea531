// The tables of a script's inputs, outputs, flags and variables: a name and a comment per
// entry of the script's product copy. One grid class serves the four; the view's class chooses
// the product table it shows.
#pragma once

#include "views/resources/resource_view.h"

#include <array>

struct CProductResource;
class CNameView;

class NameCel : public EditedCel<> {
public:
    explicit NameCel(CNameView& view);

    void OnTableKey(int key, int column, int row, int rows) override;
    bool ClearField(int column, int row) override;
    bool AllowEditFinish(int column, int row, CELEdit* editor, std::string& text,
                         bool cancelled) override;
    int GetCellTipText(int column, int row, int section, std::string& text) override;
    bool NotifyFindDialogClosed() override;

private:
    CNameView& view_;
};

// What distinguishes the four tables.
struct NameKind {
    const char* viewClass;
    std::array<const char*, 2> headings;
    COLORREF background;
    const char* printSubtitle;
    CVLDoc::ColGroup widths;
};

class CNameView : public CResourceView {
public:
    CNameView(CVLDoc& doc, ViewServices& services, int kind, QWidget* parent = nullptr);
    const char* ViewClassName() const override;
    void OnInitialUpdate() override;
    // Hint 0 (the product may have changed) shows the product's entries again.
    void OnUpdate(platform::View* sender, long hint, void* object) override;
    std::vector<int> MinimumWidths() const override { return {100, 100}; }
    CVLDoc::ColGroup WidthGroup() const override;

    // The rows from the product, keeping the active cell.
    void FillGrid();
    // The entries the table shows, and the entry of a row (null outside them).
    int EntryCount() const;
    CProductResource* Entry(int row) const;
    NameCel& Cel() { return *cel_; }
    const NameKind& Kind() const;

private:
    int kind_;
    NameCel* cel_;
};

class CInputView : public CNameView {
public:
    CInputView(CVLDoc& doc, ViewServices& services) : CNameView(doc, services, 0) {}
};
class COutputView : public CNameView {
public:
    COutputView(CVLDoc& doc, ViewServices& services) : CNameView(doc, services, 1) {}
};
class CFlagView : public CNameView {
public:
    CFlagView(CVLDoc& doc, ViewServices& services) : CNameView(doc, services, 2) {}
};
class CVarView : public CNameView {
public:
    CVarView(CVLDoc& doc, ViewServices& services) : CNameView(doc, services, 3) {}
};
