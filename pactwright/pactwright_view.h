// The right pane of a document window: one item of the protocol in the command grid (the
// device, a category's note or a command), its editing, the cell-text clipboard, new and
// removed parameters and byte lines, and the printed protocol listing.
#pragma once

#include "pactwright/core/pactwright_doc.h"
#include "pactwright/pactwright_services.h"
#include "platform/qt/command_map.h"
#include "platform/qt/command_target.h"
#include "platform/qt/mdi_view.h"

#include <QFont>
#include <QWidget>
#include <string>

class QPainter;
class QPrinter;

namespace pactwright {

class ProtocolCel;

class CPactwrightView : public QWidget,
                        public platform::qt::MdiViewOf<platform::View>,
                        public platform::qt::CommandTarget {
public:
    CPactwrightView(CPactwrightDoc& doc, PactwrightServices& services, QWidget* parent = nullptr);
    ~CPactwrightView() override;

    const char* ViewClassName() const override { return "CPactwrightView"; }
    CPactwrightDoc* GetPactwrightDoc() const;
    ProtocolCel& Grid() const { return *grid_; }
    int ShownItem() const { return shownItem_; }

    void OnAttached() override;
    void OnInitialUpdate() override;
    void OnUpdate(platform::View* sender, long hint, void* object) override;

    // Shows an item: -1 a category note, 0 the device, n the command at list position n - 1.
    // An open editor closes without storing.
    void FillGrid(int item);
    // The grid's finished edit of a Data cell; false (after the message) keeps the editor open.
    bool StoreEdit(int row, std::string& text);
    // The command shown, or null (the device, a note).
    const CCmnd* ShownCommand() const { return shownCommand_; }
    // Whether the cell-text commands act: the active cell in column 1, the device or a command.
    bool CellTextActive() const;
    void DeleteActiveCell();

    void OnNewParam();
    void OnNewByte();
    void OnRemoveParam();
    void OnRemoveByte();
    void OnEditCopy();
    void OnEditCut();
    void OnEditPaste();

    // File > Print and Print Preview: the protocol listing.
    void PrintListing();
    void PrintPreview();
    // Lays out (and with `dc`, draws page `page` of) the listing; answers the page count.
    int PaginateListing(QPainter* dc, int page, int lastPage);

    bool OnCommand(unsigned id) override;
    bool OnUpdateCommand(unsigned id, platform::qt::CommandUi& ui) override;
    bool HasCommandHandler(unsigned id) const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    bool BeginPrinting(QPrinter& printer);
    void RenderJob(QPrinter& printer, int lastPage);
    void ItemChanged();
    int RemovableNumber(const char* prefix) const;

    CPactwrightDoc& doc_;
    PactwrightServices& services_;
    ProtocolCel* grid_;
    bool gridCreated_ = false;
    int shownItem_ = -1;
    const CCmnd* shownCommand_ = nullptr;
    platform::qt::CommandMap commands_;
    // A print job's listing, line height, usable page height and fonts.
    std::string listing_;
    int lineHeight_ = 0;
    int pageHeight_ = 0;
    QFont bodyFont_, sectionFont_, commentFont_;
};

} // namespace pactwright
