#include "app/gui/velmora_dialogs.h"

#include "app/gui/comm_dialogs.h"
#include "app/gui/config_dialogs.h"
#include "app/gui/dat_status_dialog.h"
#include "app/gui/download_window.h"
#include "app/gui/options_dialogs.h"
#include "app/gui/smpte_config_dialog.h"
#include "compiler/linked_resources.h"
#include "link/comm_dialog.h"
#include "link/dat_doc.h"
#include "link/download_dialog.h"
#include "platform/paths.h"
#include "platform/qt/mdi_template.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/ui_services.h"
#include "script/dialog_requests.h"
#include "script/vl_doc.h"
#include "views/common/seq_trigger_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <filesystem>

using platform::qt::FromQString;
using platform::qt::ToQString;

void RegisterVelmoraDialogs(platform::qt::ViewRegistry& registry, VelmoraDialogHost host) {
    const auto parent = [fixed = host.parent] {
        return fixed ? fixed : QApplication::activeWindow();
    };
    registry.RegisterDialog<CNewScriptDlg>(
        [parent](CNewScriptDlg& request) { return config::RunNewScriptDialog(request, parent()); });
    registry.RegisterDialog<CCfgUnitDlg>(
        [parent](CCfgUnitDlg& request) { return config::RunCfgUnitDialog(request, parent()); });
    registry.RegisterDialog<CCfgScriptDlg>(
        [parent](CCfgScriptDlg& request) { return config::RunCfgScriptDialog(request, parent()); });
    registry.RegisterDialog<CScriptGenDlg>(
        [parent](CScriptGenDlg& request) { return config::RunScriptGenDialog(request, parent()); });
    registry.RegisterDialog<CSmpteDlg>(
        [parent](CSmpteDlg& request) { return config::RunSmpteDialog(request, parent()); });
    registry.RegisterDialog<DownloadDlg>(
        [parent](DownloadDlg& request) { return config::RunDownloadDialog(request, parent()); });
    registry.RegisterDialog<CSaveAsDlg>([parent](CSaveAsDlg& dialog) {
        QString proposed = ToQString(dialog.path);
        for (;;) {
            const QString path = QFileDialog::getSaveFileName(parent(), QStringLiteral("Save As"),
                                                              proposed, ToQString(dialog.filter));
            if (path.isEmpty())
                return false;
            std::filesystem::path chosen(path.toStdString());
            if (chosen.extension().empty())
                chosen += dialog.defaultExtension;
            // The file dialog asks only about the exact name it returned; a name that differs
            // in case, or gains its extension here, is the same file to this program.
            std::error_code ec;
            const bool asked = chosen == path.toStdString() && std::filesystem::exists(chosen, ec);
            const auto existing =
                platform::ResolveNoCase(chosen.parent_path(), chosen.filename().string());
            if (existing && !asked) {
                const platform::MsgResult answer = platform::ShowMessage(
                    existing->filename().string() + " already exists.\nDo you want to replace it?",
                    platform::MsgButtons::YesNo, platform::MsgIcon::Exclamation, 1);
                if (answer != platform::MsgResult::Yes) {
                    proposed = ToQString(chosen.string());
                    continue;
                }
            }
            // One file, not a second one beside it that differs only in case.
            dialog.path = existing ? existing->string() : chosen.string();
            return true;
        }
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
    RegisterSequenceDialogs(registry, parent);
}
