// The About box of the application shell.
#pragma once

#include <QIcon>

class QWidget;

// "About VELMORA" (dialog 100): the program's name and version, its build, OK.
// The program's own icon, as its desktop entry names it.
QIcon VelmoraIcon();
void RunAboutDialog(QWidget* parent);
