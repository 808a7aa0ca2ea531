// The base of the program's table views: one grid filling the view, the focus and title
// conventions, the stored column widths, Replace, and File > Print and Print Preview, which
// print the script listing (the script's text as its source writer makes it, or the sections
// and sequences the user picks) with a header and footer on every page.
#pragma once

#include "app/command_ids.h"
#include "platform/qt/command_map.h"
#include "platform/qt/command_target.h"
#include "platform/qt/mdi_view.h"
#include "script/vl_doc.h"
#include "views/common/view_services.h"
#include "views/gridbase/listing_layout.h"

#include <QFont>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QPainter;
class QPaintDevice;
class QPrinter;
class VLCELCtrl;

// The state of one print job.
struct CPrintInfo {
    bool preview = false;
    bool direct = false; // no print dialog
    int currentPage = 1;
    int maxPage = 0;
    int fromPage = 1;
    int toPage = 0; // 0: to the last
};

// The event editor of `doc` that shows the sequence named `sequenceName` (without regard to
// case), or null.
platform::View* EventEditorOf(const CVLDoc& doc, const std::string& sequenceName);

// A view is the first command target of the routing: it handles and enables its own commands.
class CVLView : public QWidget,
                public platform::qt::MdiViewOf<platform::View>,
                public platform::qt::CommandTarget {
public:
    // The view of `doc`; the template attaches it to the document once it is made.
    CVLView(CVLDoc& doc, ViewServices& services, QWidget* parent = nullptr);
    ~CVLView() override;

    // The document the view was made for; GetDocument() tells whether it is attached yet.
    CVLDoc& Doc() const { return doc_; }
    ViewServices& Services() const { return services_; }
    VLCELCtrl* Grid() const { return grid_; }

    // The default receive of every hint: the whole view is drawn again, unless the hint
    // concerns another sequence than the one the view shows.
    void OnUpdate(platform::View* sender, long hint, void* object) override;
    // The sequence the view shows (event editors, timeline panes); null for the views of the
    // whole script.
    virtual const CSeq* ShownSequence() const { return nullptr; }
    // False for a hint of another sequence than the shown one: every receiver starts with it.
    bool HintConcernsView(long hint, const void* object) const;

    // The view's commands, from its command map (print, print without dialog, preview);
    // a view class adds its own to the map or overrides these.
    bool OnCommand(unsigned id) override;
    bool OnUpdateCommand(unsigned id, platform::qt::CommandUi& ui) override;
    bool HasCommandHandler(unsigned id) const override;

    void ReplaceInGrid();
    // Opens the grid's find dialog over all columns.
    void FindInGrid();
    // Fits the columns to their widest text, then widens any narrower than `minimum`, then
    // stores the widths.
    void AutoSizeColumns(int minimum);

    // The framework's printing steps.
    bool OnPreparePrinting(CPrintInfo& info, QPrinter& printer);
    bool OnBeginPrinting(QPaintDevice& device, CPrintInfo& info);
    void OnPrint(QPainter& dc, CPrintInfo& info);
    void OnEndPrinting(CPrintInfo& info);
    int PrintListingPage(QPainter* dc, bool draw, CPrintInfo& info);
    // File > Print (with or without the print dialog) and Print Preview.
    void PrintListing(bool direct);
    void PrintPreview();
    // The listing being printed (empty outside a job).
    const std::string& ListingText() const { return listing_; }

    // Stored widths are the pixel width times 35, kept to 16 bits.
    static std::uint16_t StoredColumnWidth(int pixels);
    // Sets the grid's columns from the document's stored widths of a table kind.
    void ApplyColumnWidths(CVLDoc::ColGroup group);
    // Stores the grid's column widths in the document (the column-sized notification).
    void StoreColumnWidths(CVLDoc::ColGroup group);

    // What a table view offers of the main window's table commands. Find always searches the
    // grid; Replace runs `replace`, or only finds in a table that is not edited; AutoSize runs
    // the view's column fit; Print Grid prints the grid under the script's name, its first
    // author and `printSubtitle`. Commands left out stay the main window's, which does nothing
    // with them.
    struct TableCommands {
        std::function<void()> autoSize;
        std::function<void()> replace;
        std::optional<std::string> printSubtitle;
    };

protected:
    platform::qt::CommandMap& Commands() { return commands_; }
    // Declares the table commands of this view (in its constructor).
    void OfferTableCommands(TableCommands commands);
    // Takes `grid` as the view's filling child (the view owns it). The grid is created once the
    // view is attached to its document, with the program's next grid number, its cell tips as
    // "Spreadsheet Hints" says and the program's print dialogs.
    void CreateGrid(VLCELCtrl* grid);
    void OnAttached() override;
    // Sets the frame title (table views); the base draws nothing.
    virtual void OnDraw() {}

    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void RenderJob(QPrinter& printer, CPrintInfo& info);

    CVLDoc& doc_;
    ViewServices& services_;
    platform::qt::CommandMap commands_;
    VLCELCtrl* grid_ = nullptr;
    bool gridCreated_ = false;
    std::int32_t savedWriteHeaders_ = 1;
    bool headersForced_ = false;
    std::uint32_t sections_ = 0;
    int firstSeq_ = 1;
    int lastSeq_ = 1;
    int lineHeight_ = 0;
    int pageBottom_ = 0;
    QFont bodyFont_;
    QFont sectionFont_;
    QFont commentFont_;
    std::string listing_;
};
