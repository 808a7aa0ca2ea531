// The timecode trigger table: every sequence whose timecode start trigger is on, in time order,
// and the way to add such a trigger to a sequence or change one.
#pragma once

#include "views/resources/resource_view.h"

#include <QDialog>

class CSearchListBox;
class CsmpteView;
class QLabel;

// "Add SMPTE Trigger": picks the sequence to give a timecode trigger.
class DCAddSmpteTrigger : public QDialog {
public:
    DCAddSmpteTrigger(CVLDoc& doc, QWidget* parent = nullptr);
    // The chosen sequence's number (from 1), -1 when none was chosen.
    int Answer() const { return answer_; }
    CSearchListBox* List() const { return list_; }
    QLabel* Comment() const { return comment_; }
    void OnSelectionChanged();

private:
    CVLDoc& doc_;
    CSearchListBox* list_;
    QLabel* comment_;
    int answer_ = -1;
};

class smpteCel : public ResourceCel<SortingCel> {
public:
    static constexpr unsigned kAddTrigger = 200;
    static constexpr unsigned kHelp = 201;

    explicit smpteCel(CsmpteView& view);

    void OnCommand(int id) override;
    void NotifyCellRightClick(int column, int row, int down, const QRect& rect, const QPoint& point,
                              int processed) override;
    void NotifyCellDoubleClick(int column, int row, const QRect& rect, const QPoint& point,
                               int processed) override;
    void NotifySideHeadingDoubleClick(int column, int row, const QRect& rect, const QPoint& point,
                                      int processed) override;
    int GetCellTipText(int column, int row, int section, std::string& text) override;
    GVPMenuPtr BuildPopupMenu(int column, int row, int section) override;

private:
    CsmpteView& view_;
};

class CsmpteView : public CResourceView {
public:
    CsmpteView(CVLDoc& doc, ViewServices& services, QWidget* parent = nullptr);
    const char* ViewClassName() const override { return "CsmpteView"; }
    void OnInitialUpdate() override;
    std::vector<int> MinimumWidths() const override { return {100, 100, 100}; }
    CVLDoc::ColGroup WidthGroup() const override { return CVLDoc::kColSmpte; }

    void FillGrid();
    // Opens "Timecode Start Time" for sequence `number` (from 1); a number the script has no
    // sequence for does nothing.
    void EditTimecodeTrigger(int number);
    // Popup item 200.
    void AddTrigger();
    smpteCel& Cel() { return *cel_; }

private:
    smpteCel* cel_;
};
