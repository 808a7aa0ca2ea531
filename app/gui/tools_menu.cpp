#include "app/gui/tools_menu.h"

#include "controls/dialogkit/dialog_kit.h"
#include "platform/paths.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/ui_services.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <cstdio>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;
using platform::qt::FromQString;
using platform::qt::ToQString;

namespace tools {

const CompanionProgram* FindCompanion(unsigned command) {
    for (const CompanionProgram& program : kCompanions)
        if (program.command == command)
            return &program;
    return nullptr;
}

std::optional<fs::path> CompanionPath(const std::string& appDir, const CompanionProgram& program) {
    const std::optional<fs::path> utilities = platform::FindNoCase(appDir, "Utilities");
    if (!utilities)
        return std::nullopt;
    std::string name = program.fileName;
    std::optional<fs::path> found = platform::FindNoCase(*utilities, name);
    if (!found) // built here without the ".exe"
        found = platform::FindNoCase(*utilities, name.substr(0, name.size() - 4));
    std::error_code ec;
    if (found && fs::is_regular_file(*found, ec))
        return found;
    return std::nullopt;
}

void StartCompanion(const std::string& appDir, const CompanionProgram& program) {
    if (const std::optional<fs::path> path = CompanionPath(appDir, program))
        QProcess::startDetached(ToQString(path->string()), {});
}

ItemState UserToolItem(int tool, const std::string& name, const std::string& path) {
    if (!name.empty() && !path.empty())
        return {ToQString(name), true};
    return {QStringLiteral("User Defined Tool %1").arg(tool), false};
}

int StartProgram(const std::string& setting) {
    // Settings may hold backslashes.
    const std::string path = platform::ToForwardSlashes(setting);
    fs::path program = path;
    if (path.find('/') == std::string::npos) {
        // A bare name is looked for along the search path, as the platform's start does.
        const QString found = QStandardPaths::findExecutable(ToQString(path));
        if (found.isEmpty())
            return 2;
        program = FromQString(found);
    }
    std::error_code ec;
    const fs::file_status status = fs::status(program, ec);
    if (!fs::exists(status)) {
        const fs::path folder = program.parent_path();
        if (!folder.empty() && !fs::is_directory(folder, ec))
            return 3;
        return 2;
    }
    if (fs::is_directory(status) || ::access(program.c_str(), X_OK) != 0)
        return 5;
    if (!QProcess::startDetached(ToQString(program.string()), {}))
        return 11;
    return 32;
}

std::string UserToolErrorText(int result) {
    switch (result) {
    case 0:
        return "ERROR: System is out of memory, executable file was corrupt, or relocations "
               "were invalid.";
    case 2:
        return "ERROR: File was not found.";
    case 3:
        return "ERROR: Path was not found.";
    case 5:
        return "ERROR: An attempt was made to dynamically link to a task, or there was a sharing "
               "or network-protection error.";
    case 6:
        return "ERROR: Library required seperate data segments for each task.";
    case 8:
        return "ERROR: There was insufficient memory to start the application.";
    case 10:
        return "ERROR: The Windows version is incorrect.";
    case 11:
        return "ERROR: The executable file was invalid.  Either it was not a Windows application "
               "or there was an error in the .EXE image.";
    case 12:
        return "ERROR: This application was designed for a different operating system.";
    case 13:
        return "ERROR: This application was designed for MS-DOS 4.0.";
    case 14:
        return "ERROR: The type of executable file was unknown.";
    case 15:
        return "ERROR: An attempt was made to load a real-mode application ( developed for an "
               "earlier version of Windows ).";
    case 16:
        return "ERROR: An attempt was made to load a second instance of an executable file "
               "containing multiple data segments that were not marked read-only.";
    case 19:
        return "ERROR: An attempt was made to load a compressed executable file.  The file must "
               "be decompressed before it can be loaded.";
    case 20:
        return "ERROR: A Dynamic-Link Library (DLL) file was invalid.  One of the DLLs required "
               "to run this application was corrupt.";
    case 21:
        return "ERROR: This application requires Microsoft Windows 32-bit extensions.";
    case 22:
        return "ERROR: This application was designed for MS-DOS.";
    default: {
        char text[96];
        std::snprintf(text, sizeof text,
                      "ERROR: LoadModule() failed while loading file; error code = %d", result);
        return text;
    }
    }
}

std::string UserToolCaption(int tool, const std::string& name) {
    std::string caption = "User Defined Tool " + std::to_string(tool) + ": ";
    for (char c : name)
        if (c != '&')
            caption += c;
    return caption;
}

void RunUserTool(int tool, const std::string& name, const std::string& path) {
    const int result = StartProgram(path);
    if (result >= 32)
        return;
    platform::MessageBoxRequest box;
    box.text = UserToolErrorText(result);
    box.caption = UserToolCaption(tool, name);
    box.icon = platform::MsgIcon::Stop;
    platform::Ui().MessageBox(box);
}

CUserdefDlg::CUserdefDlg(UserToolFields tools, QWidget* parent)
    : ExchangeDialog(parent), tools_(tools) {
    placement = dialogs::CentreOnDesktop;
    setWindowTitle(QStringLiteral("User Defined Tools"));
    auto* layout = new QVBoxLayout(this);
    auto group = [&](const QString& title, int nameId, int pathId, QLineEdit*& name,
                     QLineEdit*& path) {
        auto* box = new QGroupBox(title, this);
        auto* grid = new QGridLayout(box);
        name = dialogs::Named(new QLineEdit(box), nameId);
        path = dialogs::Named(new QLineEdit(box), pathId);
        path->setMinimumWidth(320);
        grid->addWidget(new QLabel(QStringLiteral("Name to appear in Tool Menu"), box), 0, 0);
        grid->addWidget(name, 0, 1);
        grid->addWidget(
            new QLabel(QStringLiteral("Path and file name of Program to be executed"), box), 1, 0);
        grid->addWidget(path, 1, 1);
        layout->addWidget(box);
    };
    group(QStringLiteral("User Defined Tool #1"), 320, 321, name1_, path1_);
    group(QStringLiteral("User Defined Tool #2"), 324, 325, name2_, path2_);
    layout->addWidget(dialogs::OkCancel(*this));
}

void CUserdefDlg::DoDataExchange(dialogs::DataExchange& dx) {
    dx.Text(name1_, tools_.name1);
    dx.Text(path1_, tools_.path1);
    dx.Text(name2_, tools_.name2);
    dx.Text(path2_, tools_.path2);
}

bool OnUserDefinedTools(UserToolFields tools, const std::function<void()>& saveSettings,
                        QWidget* parent) {
    CUserdefDlg dialog(tools, parent);
    if (dialog.Run() != QDialog::Accepted)
        return false;
    if (saveSettings)
        saveSettings();
    return true;
}

} // namespace tools
