#include "views/gridbase/print_services.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace views {

void SetUpPrinter(const PrintServices& services, QPrinter& printer) {
    if (services.setUpPrinter)
        services.setUpPrinter(printer);
}

bool AskPrinter(const PrintServices& services, QPrinter& printer, QWidget* parent, bool pageRange) {
    if (services.askPrinter)
        return services.askPrinter(printer, parent, pageRange);
    QPrintDialog dialog(&printer, parent);
    QAbstractPrintDialog::PrintDialogOptions options =
        QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize;
    if (pageRange)
        options |= QAbstractPrintDialog::PrintPageRange;
    dialog.setOptions(options);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace views
