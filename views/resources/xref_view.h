// The cross reference of a script: where its triggers and events name its resources, built once
// when the view opens (with a progress dialog that can cancel), sorted by type, and leading to
// the event or the trigger a row names.
#pragma once

#include "views/resources/resource_view.h"

#include <QDialog>
#include <memory>
#include <string>

class CXRefView;
class XRefRows;
class QLabel;
class QProgressBar;

// What the build reports its progress to and asks whether to stop.
class XRefProgress {
public:
    virtual ~XRefProgress() = default;
    // Whether Cancel was pressed since the last question (the flag is cleared).
    virtual bool CheckCancel() = 0;
    virtual void SetProgress(int percent) = 0;
    virtual void SetStage(const std::string& text) = 0;
    virtual void SetEntry(const std::string& text) = 0;
};

// "Generating Resource Cross Reference ...": while it shows, only its Cancel takes input, so the
// script cannot change under the build.
class DCXRefProgressDlg : public QDialog, public XRefProgress {
public:
    explicit DCXRefProgressDlg(QWidget* parent = nullptr);
    bool CheckCancel() override;
    void SetProgress(int percent) override;
    void SetStage(const std::string& text) override;
    void SetEntry(const std::string& text) override;
    void reject() override { cancel_ = true; }

private:
    void Pump();

    QProgressBar* bar_;
    QLabel* stage_;
    QLabel* entry_;
    std::string entryText_;
    bool entryChanged_ = false;
    bool cancel_ = false;
};

class XRefCel : public ResourceCel<SortingCel> {
public:
    explicit XRefCel(CXRefView& view);

    void NotifySideHeadingLeftClick(int column, int row, int down, const QRect& rect,
                                    const QPoint& point, int processed) override;
    void NotifyCellDoubleClick(int column, int row, const QRect& rect, const QPoint& point,
                               int processed) override;
    void NotifySideHeadingDoubleClick(int column, int row, const QRect& rect, const QPoint& point,
                                      int processed) override;
    int GetCellTipText(int column, int row, int section, std::string& text) override;

private:
    CXRefView& view_;
};

class CXRefView : public CResourceView {
public:
    CXRefView(CVLDoc& doc, ViewServices& services, QWidget* parent = nullptr);
    ~CXRefView() override;
    const char* ViewClassName() const override { return "CXRefView"; }
    // Builds the list with the progress dialog, then fits the columns.
    void OnInitialUpdate() override;
    std::vector<int> MinimumWidths() const override { return {50, 25, 50, 100, 75, 50, 75, 75}; }
    CVLDoc::ColGroup WidthGroup() const override { return CVLDoc::kColXRef; }

    // The list from the script as it is now; `progress` null shows the dialog.
    void BuildCrossReference(XRefProgress* progress = nullptr);
    // Opens the event or the trigger a row names; a row the script no longer has does nothing.
    void GoToEntry(int row);
    XRefCel& Cel() { return *cel_; }
    int EntryCount() const { return entries_; }

private:
    // The rows live in the grid's source, which makes a cell's text only when the grid asks.
    std::unique_ptr<XRefRows> rows_;
    XRefCel* cel_;
    int entries_ = 0;
};
