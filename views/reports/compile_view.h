// The compile view: one script's compile, download and archive messages, one grid row each,
// in the writers' colours. A double click leads to what the message names (a resource row, a
// sequence, an event or its parameter) and shows the message again in the compiler error
// dialog. The column headings sort the rows.
#pragma once

#include "compiler/diagnostics.h"
#include "views/common/vl_view.h"
#include "views/gridbase/sorting_cel.h"

#include <functional>
#include <string>
#include <string_view>

class CCompileView;

namespace platform::qt {
class ViewRegistry;
}

class CompileCel : public SortingCel {
public:
    explicit CompileCel(CCompileView& view);

    void NotifyCellLeftClick(int column, int row, int down, const QRect& rect, const QPoint& point,
                             int processed) override;
    void NotifyCellDoubleClick(int column, int row, const QRect& rect, const QPoint& point,
                               int processed) override;
    void NotifySideHeadingLeftClick(int column, int row, int down, const QRect& rect,
                                    const QPoint& point, int processed) override;
    void NotifySideHeadingDoubleClick(int column, int row, const QRect& rect, const QPoint& point,
                                      int processed) override;

private:
    void CloseErrorDialog();

    CCompileView& view_;
};

class CCompileView : public CVLView, public CompileMessageSink {
public:
    CCompileView(CVLDoc& doc, ViewServices& services, QWidget* parent = nullptr);
    const char* ViewClassName() const override { return "CCompileView"; }
    void OnInitialUpdate() override;

    void ClearMessages() override;
    void AddMessage(const std::string& text, int kind, int resource, int event, int param,
                    std::int32_t colour) override;

    // The message of the active row: checked against the script, then the error dialog and
    // the view it names.
    void GoToMessage();
    void ShowResourceView(int kind);
    void SelectResourceRow(int kind, int index);
    void ShowSequenceList();
    void SelectSequenceRow(int index);
    void ShowEventView(int sequence);
    void SelectEventCell(int sequence, int event, int param);

    CompileCel& Cel() { return *cel_; }
    std::string FrameTitle() const;

protected:
    void OnDraw() override;
    // The title follows the script's name at once, shown or not.
    void OnUpdate(platform::View* sender, long hint, void* object) override;

private:
    CompileCel* cel_;
};

// Registers the compile view with the program's registry.
void RegisterCompileView(platform::qt::ViewRegistry& registry, ViewServices& services);
