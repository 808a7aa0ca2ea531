// The help file and the About box of the application shell.
#pragma once

#include <QIcon>
#include <filesystem>
#include <optional>
#include <string>

class QWidget;

// The installation's help page (Help/index.html, found without regard to case), when it is there.
std::optional<std::filesystem::path> HelpFile(const std::string& appDir);
// Opens the help page in the desktop's browser; "Failed to launch help." when that fails.
bool OpenHelp(const std::string& appDir);

// "About VELMORA" (dialog 100): the program's name and version, its build, OK.
// The program's own icon, as its desktop entry names it.
QIcon VelmoraIcon();
void RunAboutDialog(QWidget* parent);
