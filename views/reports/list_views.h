// Views that show lines of text in a list box (child id 101) filling the view: the compiled
// image's main view (its size and checksum, and the log of its transfers) and its hexadecimal
// dump.
#pragma once

#include "link/dat_doc.h"
#include "platform/qt/mdi_view.h"

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QListWidget;

class ViewServices;
namespace platform::qt {
class ViewRegistry;
}

class VL_CListView : public QWidget {
public:
    explicit VL_CListView(QWidget* parent = nullptr);
    QListWidget& List() const { return *list_; }
    // Empties the list and repaints at once.
    void ClearLines();
    // The lines as shown.
    std::vector<std::string> Lines() const;

protected:
    void AppendLine(const std::string& text);

private:
    QListWidget* list_;
};

// The lines of the image's main view, in order.
std::vector<std::string> DatViewLines(std::size_t length, std::uint16_t checksum, bool valid);
// The dump: a heading, an empty line, then one 75-character line per 16 bytes.
std::vector<std::string> HexDumpLines(const std::vector<std::uint8_t>& image);

class CDatView : public VL_CListView, public platform::qt::MdiViewOf<DatListView> {
public:
    // `shown` is told, after the event loop comes back, that the view has shown its document
    // (the main frame then retrieves an image that was asked for from a controller).
    explicit CDatView(std::function<void(CDatDoc&)> shown = {}, QWidget* parent = nullptr);
    void OnInitialUpdate() override;
    void AddLine(const std::string& text) override;
    void ClearLines() override { VL_CListView::ClearLines(); }

private:
    std::function<void(CDatDoc&)> shown_;
};

class CDatHexView : public VL_CListView, public platform::qt::MdiViewOf<platform::View> {
public:
    explicit CDatHexView(QWidget* parent = nullptr);
    const char* ViewClassName() const override { return "CDatHexView"; }
    void OnInitialUpdate() override;
    void FillDump();
};

// Registers the two image views, the compile view and the pop-up with the program's registry.
void RegisterReportViews(platform::qt::ViewRegistry& registry, ViewServices& services,
                         std::function<void(CDatDoc&)> datViewShown = {});
