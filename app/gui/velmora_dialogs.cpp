#include "app/gui/velmora_dialogs.h"

#include "app/gui/comm_dialogs.h"
#include "app/gui/dat_status_dialog.h"
#include "app/gui/options_dialogs.h"
#include "compiler/linked_resources.h"
#include "link/comm_dialog.h"
#include "link/dat_doc.h"
#include "platform/qt/mdi_template.h"
#include "platform/qt/qt_ui_services.h"
#include "script/dialog_requests.h"
#include "script/vl_doc.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QStringList>
#include <filesystem>

using platform::qt::FromQString;
using platform::qt::ToQString;

void RegisterVelmoraDialogs(platform::qt::ViewRegistry& registry, VelmoraDialogHost host) {
    const auto parent = [fixed = host.parent] {
        return fixed ? fixed : QApplication::activeWindow();
    };
    registry.RegisterDialog<CNewScriptDlg>([parent](CNewScriptDlg& dialog) {
        QStringList names;
        int current = 0;
        for (const std::string& name : dialog.products) {
            if (name == CVLDoc::kDefaultProduct)
                current = int(names.size());
            names << ToQString(name);
        }
        if (names.isEmpty())
            return false;
        bool ok = false;
        const QString chosen =
            QInputDialog::getItem(parent(), QStringLiteral("New Script"),
                                  QStringLiteral("Product:"), names, current, false, &ok);
        if (!ok)
            return false;
        dialog.product = FromQString(chosen);
        return true;
    });
    registry.RegisterDialog<CSaveAsDlg>([parent](CSaveAsDlg& dialog) {
        const QString path = QFileDialog::getSaveFileName(parent(), QStringLiteral("Save As"),
                                                          ToQString(dialog.path),
                                                          QStringLiteral("Velmora Files (*.ksf)"));
        if (path.isEmpty())
            return false;
        dialog.path = path.toStdString();
        if (std::filesystem::path(dialog.path).extension().empty())
            dialog.path += dialog.defaultExtension;
        return true;
    });
    registry.RegisterDialog<CommDialogRequest>(
        [parent, save = host.saveSettings](CommDialogRequest& request) {
            return comm::RunCommDialog(request, parent(), save);
        });
    registry.RegisterDialog<CCfgCompilerDlg>([parent](CCfgCompilerDlg& request) {
        return options::RunCompilerDialog(request, parent());
    });
    registry.RegisterDialog<CFileOpenDlg>([parent](CFileOpenDlg& dialog) {
        const QString path = QFileDialog::getOpenFileName(
            parent(), ToQString(dialog.title), QString(),
            ToQString(dialog.filterName) + QStringLiteral(";;All Files (*)"));
        if (path.isEmpty())
            return false;
        dialog.path = path.toStdString();
        return true;
    });
    registry.RegisterDialog<CDatStatusDlg>(
        [parent](CDatStatusDlg& request) { return RunDatStatusDialog(request, parent()); });
}
