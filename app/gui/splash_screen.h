// The splash window shown while the program starts (its own 601 x 274 picture), and the welcome
// dialog (172) of the first run after an installation, which the installation asks for with the
// marker file FRSTTIME.RUN in the installation directory.
#pragma once

#include "controls/dialogkit/data_exchange.h"
#include "platform/qt/exchange_dialog.h"

#include <QPixmap>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QTimer;

// The program's name and version (string 4) and its build number (string 5).
inline constexpr const char* kProgramNameAndVersion = "Velmora Version 1.0";
inline constexpr const char* kBuildNumber = "Build 1001";

class CSplashScreen : public QWidget {
public:
    static constexpr int kWidth = 601;
    static constexpr int kHeight = 274;

    CSplashScreen();
    // The top left corner that centres the splash on `screen`, never left of or above it.
    static QPoint Position(const QRect& screen);
    // The picture the splash shows.
    static QPixmap Picture();

    // After the main window shows: the bottom 45 pixels go, and the splash comes on top.
    void BringToFront();
    // Closes the splash after 500 ms; then, when FRSTTIME.RUN is in `appDir`, shows the welcome
    // dialog and removes the marker when its box was ticked. `done` is told at the end.
    void StartTimer(const std::string& appDir, std::function<void()> done = {});

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
    QTimer* timer_ = nullptr;
};

// The marker's path when it is there (found without regard to case).
std::optional<std::filesystem::path> FirstRunMarker(const std::string& appDir);
// Shows the welcome dialog when the marker is there; a ticked box deletes the marker. Answers
// whether the dialog was shown.
bool ShowWelcomeIfFirstRun(const std::string& appDir, QWidget* parent = nullptr);

// The welcome dialog; its box, "Never display this message again", counts however the dialog
// closes.
class CWelcomeDlg : public platform::qt::ExchangeDialog<dialogs::DataExchange> {
public:
    explicit CWelcomeDlg(bool& neverAgain, QWidget* parent = nullptr);
    void reject() override;

protected:
    void DoDataExchange(dialogs::DataExchange& dx) override;

private:
    bool& neverAgain_;
    QCheckBox* neverAgainBox_;
};
