#include "views/gridbase/print_services.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace views {

namespace {
PrintServices& EmptyServices() {
    static PrintServices services;
    return services;
}
PrintServices* g_services = nullptr;
} // namespace

PrintServices& Printing() {
    return g_services ? *g_services : EmptyServices();
}

PrintServices* SetPrinting(PrintServices* services) {
    PrintServices* previous = g_services;
    g_services = services;
    return previous;
}

void SetUpPrinter(QPrinter& printer) {
    if (Printing().setUpPrinter)
        Printing().setUpPrinter(printer);
}

bool AskPrinter(QPrinter& printer, QWidget* parent, bool pageRange) {
    if (Printing().askPrinter)
        return Printing().askPrinter(printer, parent, pageRange);
    QPrintDialog dialog(&printer, parent);
    QAbstractPrintDialog::PrintDialogOptions options =
        QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize;
    if (pageRange)
        options |= QAbstractPrintDialog::PrintPageRange;
    dialog.setOptions(options);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace views
