// The real dialog under the offscreen platform, with its sender on a given link and every
// message box recorded instead of shown.
#pragma once

#include "lumaquill/lumaquill_dlg.h"
#include "platform/paths.h"
#include "tests/support/recording_serial_line.h"
#include "tests/support/scripted_ui.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

// Readable failure output.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace lumaquill_tests {

inline QApplication& QtApp() {
    static int argc = 1;
    static char name[] = "lumaquill_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = nullptr;
    if (!app) {
        app = new QApplication(argc, argv);
        // Qt's objects must go before the program's exit handlers run.
        class Teardown : public ::testing::Environment {
        public:
            void TearDown() override { delete app; }
        };
        ::testing::AddGlobalTestEnvironment(new Teardown); // owned by the test framework
    }
    return *app;
}

// Control ids.
inline constexpr int kSlider = 1000, kSetAll = 1025, kGroup = 1017, kEnable = 1026, kValue = 1034,
                     kGroupAll = 1042, kBase = 1043, kLabel = 1044, kPercent = 1052,
                     kValueDisplay = 1053, kPort = 1055, kEnableAll = 1059, kBlackout = 1060,
                     kBaseUp = 1061, kBaseDown = 1062, kHelp = 1063;
inline constexpr int kSet[8] = {1008, 1010, 1011, 1012, 1013, 1014, 1015, 1016};

class DialogFixture {
public:
    // A sender that records what it writes.
    DialogFixture() : DialogFixture(std::make_shared<testing_support::RecordingState>()) {}
    explicit DialogFixture(std::shared_ptr<testing_support::RecordingState> state)
        : DialogFixture(std::make_unique<dmx::DmxSender>(std::make_unique<dmx::CSerialLink>(
                            std::make_unique<testing_support::RecordingSerialLine>(state))),
                        state) {}
    // A sender on the serial devices.
    explicit DialogFixture(std::unique_ptr<dmx::DmxSender> s,
                           std::shared_ptr<testing_support::RecordingState> state = nullptr)
        : line(std::move(state)), sender(std::move(s)) {
        QtApp();
        platform::SetInstallDirectory(VELMORA_DIST_DIR "/Utilities");
        dialog = std::make_unique<lumaquill::CLumaquillDlg>(*sender);
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        (void)QTest::qWaitForWindowActive(dialog.get());
    }
    ~DialogFixture() {
        dialog.reset();
        platform::SetInstallDirectory("");
    }

    template <typename W = QWidget> W* Ctl(int id) const {
        W* w = dialog->findChild<W*>(QStringLiteral("ctl_%1").arg(id));
        EXPECT_NE(w, nullptr) << "no control " << id;
        return w;
    }
    QSlider* Slider(int k) const { return Ctl<QSlider>(kSlider + k); }
    QLineEdit* Field(int k) const { return Ctl<QLineEdit>(kValue + k); }
    QCheckBox* Box(int first, int k) const { return Ctl<QCheckBox>(first + k); }
    void StopTimer() { dialog->findChild<QTimer*>()->stop(); }

    // A user's move of the slider to a position, as a drag step does it.
    void Drag(int k, int position) { Slider(k)->setSliderPosition(position); }
    void Type(int id, const QString& text) {
        auto* field = Ctl<QLineEdit>(id);
        field->setFocus();
        field->selectAll();
        if (text.isEmpty()) {
            QTest::keyClick(field, Qt::Key_Delete);
        } else {
            QTest::keyClicks(field, text);
        }
    }
    // Replaces the field's text in one edit, as a paste does.
    void Paste(int id, const QString& text) {
        auto* field = Ctl<QLineEdit>(id);
        field->setFocus();
        field->selectAll();
        if (text.isEmpty()) {
            field->del();
        } else {
            field->insert(text);
        }
    }
    // Boxes and radio buttons take a click on their mark or text, not on the space beside it.
    void Click(int id) {
        QWidget* w = Ctl<QWidget>(id);
        const bool mark = qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w);
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier,
                          mark ? QPoint(6, w->height() / 2) : w->rect().center());
    }
    std::vector<int> Positions() const {
        std::vector<int> p;
        for (int k = 0; k < 8; ++k)
            p.push_back(Slider(k)->value());
        return p;
    }
    std::vector<QString> Fields() const {
        std::vector<QString> f;
        for (int k = 0; k < 8; ++k)
            f.push_back(Field(k)->text());
        return f;
    }

    std::shared_ptr<testing_support::RecordingState> line; // null on the serial devices
    testing_support::ScriptedUi ui;
    std::unique_ptr<dmx::DmxSender> sender;
    std::unique_ptr<lumaquill::CLumaquillDlg> dialog;
};

} // namespace lumaquill_tests
