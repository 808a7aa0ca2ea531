// The dialogs of the application shell that answer the core's requests, and the help file.
#pragma once

#include <QIcon>
#include <filesystem>
#include <optional>
#include <string>

class QWidget;

namespace platform::qt {
class ViewRegistry;
}

// Registers the handlers of the compiler options and the image status requests.
void RegisterShellDialogs(platform::qt::ViewRegistry& registry);

// The installation's help page (Help/index.html, found without regard to case), when it is there.
std::optional<std::filesystem::path> HelpFile(const std::string& appDir);
// Opens the help page in the desktop's browser; "Failed to launch help." when that fails.
bool OpenHelp(const std::string& appDir);

// "About VELMORA" (dialog 100): the program's name and version, its build, OK.
// The program's own icon, as its desktop entry names it.
QIcon VelmoraIcon();
void RunAboutDialog(QWidget* parent);
