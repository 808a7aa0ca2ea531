// The dialogs the views' printing asks: the program hands the real ones ("Print Grid",
// "Select Items to Print", the standard print dialog) to the views it makes; tests hand their
// own answers.
#pragma once

#include <cstdint>
#include <functional>

class QPrinter;
class QWidget;

namespace views {

// The "Select Items to Print" answer and choices.
struct ListingChoice {
    int answer = 2;             // 1 Print, 3 Print All, anything else cancels
    std::uint32_t sections = 0; // the writer's section flags (Print only)
    int first = 1;              // sequences, 1-based (Print only)
    int last = 1;
};

struct PrintServices {
    // "Print Grid": 2 Cancel, 100 all, 101 selection.
    std::function<int(QWidget* parent)> askPrintGrid;
    // "Select Items to Print", told whether this is a preview.
    std::function<ListingChoice(QWidget* parent, bool preview)> askListing;
    // The standard print dialog on `printer`; true for OK. Unset: the Qt dialog.
    std::function<bool(QPrinter& printer, QWidget* parent, bool pageRange)> askPrinter;
    // Shows a finished preview job; unset: the Qt preview dialog. The function renders the
    // pages on the printer it is given.
    std::function<void(QWidget* parent, const std::function<void(QPrinter&)>& render)> preview;
    // Gives a new job's printer the program's printer setup (Print Setup's choices); unset:
    // the printer keeps Qt's defaults.
    std::function<void(QPrinter& printer)> setUpPrinter;
};

// A new job's printer as the program's printer setup says.
void SetUpPrinter(const PrintServices& services, QPrinter& printer);
// Runs the standard print dialog through the services.
bool AskPrinter(const PrintServices& services, QPrinter& printer, QWidget* parent, bool pageRange);

} // namespace views
