// The Tools menu: the companion programs found in the installation's Utilities folder (each
// item enabled exactly while its file is there, looked up at every update), the two user tools
// named in the profile, and the "User Defined Tools" dialog (164). Programs start by their path
// with no arguments and no shell, and the program does not wait for them.
#pragma once

#include "app/command_ids.h"
#include "controls/dialogkit/data_exchange.h"
#include "platform/qt/exchange_dialog.h"

#include <QDialog>
#include <QString>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

class QLineEdit;

namespace tools {

struct CompanionProgram {
    unsigned command;
    const char* menuText;
    const char* fileName; // in Utilities, matched without regard to case, ".exe" optional
};
inline constexpr CompanionProgram kCompanions[] = {
    {vl_ids::kPactwright, "&Pactwright...", "Pactwright.exe"},
    {vl_ids::kLumaquill, "&Lumaquill...", "Lumaquill.EXE"},
    {vl_ids::kTimeCalculator, "&Time Calculator...", "QUARTZEL.EXE"},
};

// The companion of a command, or null.
const CompanionProgram* FindCompanion(unsigned command);
// The program's file in `appDir`'s Utilities folder, when it is there now.
std::optional<std::filesystem::path> CompanionPath(const std::string& appDir,
                                                   const CompanionProgram& program);
// Starts a companion when its file is there; what the start gives is not examined.
void StartCompanion(const std::string& appDir, const CompanionProgram& program);

// What the menu shows for user tool 1 or 2: its name and enabled when both name and path are
// set, else "User Defined Tool n" greyed.
struct ItemState {
    QString text;
    bool enabled = false;
};
ItemState UserToolItem(int tool, const std::string& name, const std::string& path);

// Starts a program by its path with no arguments, without waiting. Answers 32 when it started,
// else the number of its failure: 2 no such file, 3 no such folder, 5 no permission, 11 not a
// program that can run.
int StartProgram(const std::string& path);
// The text of a failure number below 32 ("ERROR: File was not found." ...).
std::string UserToolErrorText(int result);
// The caption of a user tool's error box: "User Defined Tool 1: " and the name without '&'.
std::string UserToolCaption(int tool, const std::string& name);
// Starts user tool 1 or 2 and shows its failure (stop icon, OK).
void RunUserTool(int tool, const std::string& name, const std::string& path);

// The two user tools' names and paths, as the application keeps them.
struct UserToolFields {
    std::string& name1;
    std::string& path1;
    std::string& name2;
    std::string& path2;
};

// "User Defined Tools" (dialog 164): the two names and paths, taken as typed into the fields it
// is given on OK; Cancel leaves them.
class CUserdefDlg : public platform::qt::ExchangeDialog<dialogs::DataExchange> {
public:
    explicit CUserdefDlg(UserToolFields tools, QWidget* parent = nullptr);

protected:
    void DoDataExchange(dialogs::DataExchange& dx) override;

private:
    UserToolFields tools_;
    QLineEdit* name1_;
    QLineEdit* path1_;
    QLineEdit* name2_;
    QLineEdit* path2_;
};

// The command: the dialog on the program's tools; OK stores them and `saveSettings` writes the
// profile at once, Cancel changes nothing. Answers whether OK was pressed.
bool OnUserDefinedTools(UserToolFields tools, const std::function<void()>& saveSettings,
                        QWidget* parent = nullptr);

} // namespace tools
