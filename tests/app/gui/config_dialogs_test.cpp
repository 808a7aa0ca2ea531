// The script's set-up dialogs as the program shows them: the menu items of the main window open
// the real dialogs, whose controls a step drives; message boxes are answered from a queue.
#include "app/command_ids.h"
#include "app/gui/comm_dialogs.h"
#include "app/gui/config_dialogs.h"
#include "app/gui/vl_frame.h"
#include "app/vl_app.h"
#include "controls/commandbars/aux_data.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/serial_device.h"
#include "script/dialog_requests.h"
#include "script/product.h"
#include "script/vl_doc.h"
#include "tests/app/app_test_support.h"
#include "tests/app/gui/gui_test_support.h"
#include "tests/app/gui/main_window_fixture.h"
#include "tests/support/controller_emulator.h"
#include "tests/support/fast_waits.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/reproducer_emulator.h"
#include "tests/support/scripted_ui.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace {

namespace fs = std::filesystem;
using guitest::Click;
using guitest::Control;
using namespace vl_ids;

// The frame's services with the boxes answered from a queue (default: the box's default) and
// recorded; the dialogs are the program's.
class AnsweringUi : public platform::UiServices {
public:
    explicit AnsweringUi(platform::UiServices& real) : real_(real) {
        previous_ = platform::SetUi(this);
    }
    ~AnsweringUi() override { platform::SetUi(previous_); }
    platform::MsgResult MessageBox(const platform::MessageBoxRequest& request) override {
        boxes.push_back(request.caption + ": " + request.text);
        if (answers.empty())
            return platform::DefaultAnswer(request);
        const platform::MsgResult answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool RunDialog(platform::DialogRequest& request) override { return real_.RunDialog(request); }
    void SetStatusText(const std::string& text) override { real_.SetStatusText(text); }
    void SetProgress(int pane, bool showPercent, int range, int pos) override {
        real_.SetProgress(pane, showPercent, range, pos);
    }
    void PumpMessages() override { real_.PumpMessages(); }
    void PumpPaint() override { real_.PumpPaint(); }

    std::deque<platform::MsgResult> answers;
    std::vector<std::string> boxes;

private:
    platform::UiServices& real_;
    platform::UiServices* previous_ = nullptr;
};

struct ConfigDialogs : guitest::MainWindowFixture {
    // The frame on a profile that sends COM1 to `com1` (none: nowhere), the other ports nowhere.
    void Start(const std::string& com1 = "", const std::string& download = "") {
        WriteProfile(com1.empty() ? std::map<int, std::string>{}
                                  : std::map<int, std::string>{{1, com1}},
                     "[Download]\n" + download);
        ASSERT_NO_FATAL_FAILURE(StartWindow());
        ui = std::make_unique<AnsweringUi>(window->UiServices());
    }
    void TearDown() override {
        ui.reset();
        MainWindowFixture::TearDown();
    }
    // Runs the command with `step` on its dialog; the step closes it.
    void Run(unsigned command, std::function<void(QDialog&)> step) {
        bool ran = false;
        guitest::WhenModal([&](QDialog& dialog) {
            ran = true;
            title = dialog.windowTitle();
            step(dialog);
            if (dialog.isVisible())
                dialog.reject(); // a step that left it open: the case fails below
        });
        EXPECT_TRUE(window->RouteCommand(command)) << command;
        EXPECT_TRUE(ran) << "no dialog for " << command;
    }

    std::unique_ptr<AnsweringUi> ui;
    QString title;
};

void Type(QWidget& dialog, int id, const QString& text) {
    auto* field = Control<QLineEdit>(dialog, id);
    ASSERT_NE(field, nullptr) << id;
    field->selectAll();
    QTest::keyClicks(field, text);
}

void SelectUnit(QDialog& dialog, const QString& name) {
    auto* list = Control<QListWidget>(dialog, 161);
    ASSERT_NE(list, nullptr);
    const auto found = list->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name.toStdString();
    list->setCurrentItem(found.front());
}

// Every item of the menus opens its dialog, with the title and the controls of its table.
TEST_F(ConfigDialogs, TheMenuItemsOpenTheirDialogs) {
    Start();
    ASSERT_NE(OpenScript(), nullptr);
    const struct {
        unsigned command;
        const char* title;
        std::vector<int> controls;
    } cases[] = {
        {kCfgScript, "Configure Script", {111, 112, 113, 114, 115, 118, 221, 1, 2}},
        {kCfgUnit, "Configure Unit", {161, 121, 122, 125, 126, 232, 233, 234, 1, 2}},
        {kScriptWizard, "Script Wizard", {224, 225, 228, 125, 126, 229, 230, 1, 2}},
        {kFileNew, "Create Script for what product?", {254, 1, 2}},
    };
    for (const auto& c : cases) {
        std::vector<int> missing;
        Run(c.command, [&](QDialog& dialog) {
            for (int id : c.controls)
                if (!Control<QWidget>(dialog, id))
                    missing.push_back(id);
            dialog.reject();
        });
        EXPECT_EQ(title.toStdString(), c.title);
        EXPECT_TRUE(missing.empty()) << c.title << " lacks ctl_" << missing.front();
    }
}

// The edge cases of the four dialogs, each through its menu item on Fountain.ksf (a Harnel16
// script at address 0 whose port 1 runs at 9600 baud).
TEST_F(ConfigDialogs, EdgeCases) {
    Start();
    struct Case {
        const char* name;
        unsigned command;
        std::vector<platform::MsgResult> answers;
        std::function<void(QDialog&, CVLDoc&)> step;
        std::function<void(ConfigDialogs&, CVLDoc&)> check;
    };
    using platform::MsgResult;
    const std::string question = std::string("Configure Unit: ") + config::kUnitTypeQuestion;
    const Case cases[] = {
        {"No keeps the dialog open with the new selection, and OK asks again",
         kCfgUnit,
         {MsgResult::No, MsgResult::Yes},
         [](QDialog& d, CVLDoc&) {
             SelectUnit(d, "Harnel4");
             Click(d, 1);
             EXPECT_TRUE(d.isVisible());
             EXPECT_EQ(Control<QListWidget>(d, 161)->currentItem()->text(), "Harnel4");
             Click(d, 1);
             EXPECT_FALSE(d.isVisible());
         },
         [question](ConfigDialogs& f, CVLDoc& doc) {
             EXPECT_EQ(f.ui->boxes, (std::vector<std::string>{question, question}));
             EXPECT_EQ(doc.m_pProduct->m_strName, "Harnel4");
             EXPECT_TRUE(doc.IsModified());
         }},
        {"re-selecting the opening type closes without the question",
         kCfgUnit,
         {},
         [](QDialog& d, CVLDoc&) {
             SelectUnit(d, "Harnel4");
             SelectUnit(d, "Harnel16");
             Click(d, 1);
             EXPECT_FALSE(d.isVisible());
         },
         [](ConfigDialogs& f, CVLDoc& doc) {
             EXPECT_TRUE(f.ui->boxes.empty());
             EXPECT_EQ(doc.m_pProduct->m_strName, "Harnel16");
         }},
        {"the question comes before the address check, and again after it",
         kCfgUnit,
         {MsgResult::Yes, MsgResult::Ok, MsgResult::Yes},
         [](QDialog& d, CVLDoc&) {
             SelectUnit(d, "Harnel4");
             Type(d, 122, "256");
             Click(d, 1);
             EXPECT_TRUE(d.isVisible());
             Type(d, 122, "12");
             Click(d, 1);
             EXPECT_FALSE(d.isVisible());
         },
         [question](ConfigDialogs& f, CVLDoc& doc) {
             EXPECT_EQ(
                 f.ui->boxes,
                 (std::vector<std::string>{
                     question, "Velmora: Please enter an integer between 0 and 255.", question}));
             EXPECT_EQ(doc.m_wAddress, 12);
         }},
        {"a unit-type change resets the ports, typed names survive",
         kCfgUnit,
         {MsgResult::Yes},
         [](QDialog& d, CVLDoc& doc) {
             doc.m_pProduct->m_Ports[1].m_strBaudRate = "19200";
             doc.m_pProduct->m_Ports[1].m_strParity = "E";
             SelectUnit(d, "Harnel4");
             Click(d, 1);
         },
         [](ConfigDialogs&, CVLDoc& doc) {
             EXPECT_EQ(doc.m_pProduct->m_Ports[1].m_strBaudRate, "9600");
             EXPECT_EQ(doc.m_pProduct->m_Ports[1].m_strParity, "N");
             EXPECT_EQ(doc.m_pProduct->m_Inputs[0].m_strName, "Show_Button");
         }},
        {"a typed frequency not in the list is stored as typed; External enables it",
         kCfgUnit,
         {},
         [](QDialog& d, CVLDoc&) {
             auto* frequency = Control<QComboBox>(d, 232);
             EXPECT_FALSE(frequency->isEnabled()) << "the clock is the processor's";
             EXPECT_FALSE(Control<QWidget>(d, 233)->isEnabled());
             Click(d, 126);
             EXPECT_TRUE(frequency->isEnabled());
             EXPECT_TRUE(Control<QWidget>(d, 234)->isEnabled());
             frequency->setEditText("47.5");
             Click(d, 1);
         },
         [](ConfigDialogs&, CVLDoc& doc) {
             EXPECT_EQ(doc.m_strExternalFrequency, "47.5");
             EXPECT_EQ(doc.m_wClockSource, 1);
         }},
        {"with External a frequency beyond 6120 Hz or no number keeps the dialog open",
         kCfgUnit,
         {},
         [](QDialog& d, CVLDoc&) {
             Click(d, 126);
             Control<QComboBox>(d, 232)->setEditText("7000");
             Click(d, 1);
             EXPECT_TRUE(d.isVisible());
             Control<QComboBox>(d, 232)->setEditText("fast");
             Click(d, 1);
             EXPECT_TRUE(d.isVisible());
             d.reject();
         },
         [](ConfigDialogs& f, CVLDoc& doc) {
             EXPECT_EQ(f.ui->boxes, (std::vector<std::string>{
                                        "Velmora: Please enter a number between 0 and 6120.",
                                        "Velmora: Please enter a number."}));
             EXPECT_EQ(doc.m_strExternalFrequency, "0");
             EXPECT_FALSE(doc.IsModified());
         }},
        {"a frequency text selects the first entry it begins",
         kCfgUnit,
         {},
         [](QDialog& d, CVLDoc&) {
             EXPECT_EQ(Control<QComboBox>(d, 232)->currentText(), "0");
             EXPECT_EQ(Control<QComboBox>(d, 121)->currentIndex(), 3) << "30 FPS";
             Click(d, 1);
         },
         [](ConfigDialogs&, CVLDoc& doc) { EXPECT_EQ(doc.m_strExternalFrequency, "0"); }},
        {"a description over three lines is kept with two '~'",
         kCfgScript,
         {},
         [](QDialog& d, CVLDoc&) {
             auto* text = Control<QPlainTextEdit>(d, 111);
             EXPECT_EQ(text->toPlainText(),
                       "Lobby fountain show: water, lights and a video wall\nRuns at opening, "
                       "on the button and every evening");
             EXPECT_FALSE(Control<QCheckBox>(d, 118)->isEnabled());
             text->setPlainText("one\ntwo\nthree");
             Click(d, 1);
         },
         [](ConfigDialogs&, CVLDoc& doc) { EXPECT_EQ(doc.m_strDescription, "one~two~three"); }},
        {"a text longer than its limit when the dialog opened is refused by OK",
         kCfgScript,
         {},
         [](QDialog& d, CVLDoc&) {
             auto* version = Control<QLineEdit>(d, 112);
             EXPECT_EQ(version->text().size(), 300) << "shown whole";
             QTest::keyClick(version, Qt::Key_End);
             QTest::keyClicks(version, "x");
             EXPECT_EQ(version->text().size(), 300) << "typing stops at the limit";
             Click(d, 1);
             EXPECT_TRUE(d.isVisible());
             version->setText("2.0");
             QTest::keyClick(version, Qt::Key_End);
             QTest::keyClicks(version, "x");
             EXPECT_EQ(version->text(), "2.0x");
             Click(d, 1);
         },
         [](ConfigDialogs& f, CVLDoc& doc) {
             EXPECT_EQ(f.ui->boxes, std::vector<std::string>{
                                        "Velmora: Please enter no more than 256 characters."});
             EXPECT_EQ(doc.m_strVersion, "2.0x");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CVLDoc* doc = OpenScript();
        ASSERT_NE(doc, nullptr);
        if (std::string(c.name).find("longer than") != std::string::npos)
            doc->m_strVersion.assign(300, 'v');
        ui->boxes.clear();
        ui->answers.assign(c.answers.begin(), c.answers.end());
        Run(c.command, [&](QDialog& dialog) { c.step(dialog, *doc); });
        c.check(*this, *doc);
        doc->SetModifiedFlag(false);
        app.CloseDocument(doc);
    }
}

// A description typed over three lines survives save and reopen, and shows over three lines.
TEST_F(ConfigDialogs, ThreeLineDescriptionSurvivesSaveAndReopen) {
    Start();
    CVLDoc* doc = OpenScript();
    ASSERT_NE(doc, nullptr);
    Run(kCfgScript, [](QDialog& d) {
        Control<QPlainTextEdit>(d, 111)->setPlainText("first\nsecond\nthird");
        Click(d, 1);
    });
    const std::string path = (install.Root() / "SCRIPTS/Saved.ksf").string();
    ASSERT_TRUE(doc->OnSaveDocument(path));
    app.CloseDocument(doc);
    doc = app.OpenDocumentFile(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->m_strDescription, "first~second~third");
    QString shown;
    Run(kCfgScript, [&](QDialog& d) {
        shown = Control<QPlainTextEdit>(d, 111)->toPlainText();
        d.reject();
    });
    EXPECT_EQ(shown, "first\nsecond\nthird");
}

// File New offers the products sorted with Harnel16 chosen; Cancel makes no script. The Script
// Wizard refuses a long show name and a player count outside 1-16, then creates.
TEST_F(ConfigDialogs, FileNewAndScriptWizard) {
    Start();
    const std::size_t before = app.OpenDocuments().GetCount();
    QStringList offered;
    QString chosen;
    Run(kFileNew, [&](QDialog& d) {
        auto* products = Control<QComboBox>(d, 254);
        for (int i = 0; i < products->count(); ++i)
            offered << products->itemText(i);
        chosen = products->currentText();
        Click(d, 2);
    });
    EXPECT_EQ(offered, (QStringList{"CD Pellucor", "Harnel16", "Harnel2", "Harnel4"}));
    EXPECT_EQ(chosen, "Harnel16");
    EXPECT_EQ(app.OpenDocuments().GetCount(), before) << "Cancel makes no script";

    Run(kFileNew, [&](QDialog& d) {
        Control<QComboBox>(d, 254)->setCurrentText("CD Pellucor");
        Click(d, 1);
    });
    ASSERT_NE(app.ActiveScript(), nullptr);
    EXPECT_EQ(app.ActiveScript()->m_pProduct->m_strName, "CD Pellucor");

    ui->boxes.clear();
    Run(kScriptWizard, [](QDialog& d) {
        EXPECT_TRUE(Control<QRadioButton>(d, 126)->isChecked());
        EXPECT_TRUE(Control<QRadioButton>(d, 229)->isChecked());
        EXPECT_EQ(Control<QLineEdit>(d, 228)->text(), "2");
        EXPECT_EQ(Control<QPushButton>(d, 1)->text(), "Create");
        Type(d, 224, QString(30, 'S'));
        EXPECT_EQ(Control<QLineEdit>(d, 224)->text().size(), 25) << "typing stops at 25";
        for (const char* players : {"0", "17", "many"}) {
            Type(d, 228, players);
            Click(d, 1);
            EXPECT_TRUE(d.isVisible()) << players;
        }
        Type(d, 228, "16");
        Click(d, 1);
    });
    EXPECT_EQ(ui->boxes,
              (std::vector<std::string>{"Velmora: Please enter an integer between 1 and 16.",
                                        "Velmora: Please enter an integer between 1 and 16.",
                                        "Velmora: Please enter an integer."}));
    CVLDoc* wizard = app.ActiveScript();
    ASSERT_NE(wizard, nullptr);
    EXPECT_EQ(wizard->m_pProduct->m_strName, "Harnel16");
    EXPECT_EQ(wizard->m_strDescription,
              "\"" + std::string(25, 'S') + "\", created by Script Wizard");
    EXPECT_EQ(app.NewDocumentMode(), AppServices::kNewAskProduct) << "the mode goes back";
}

// Without a Harnel16 the first product is chosen; with no product OK is Cancel.
TEST_F(ConfigDialogs, FileNewWithoutHarnel16OrAnyProduct) {
    Start();
    const struct {
        std::vector<std::string> products;
        const char* chosen;
        bool ok;
    } cases[] = {{{"Zeta", "alpha", "Mid"}, "alpha", true}, {{}, "", false}};
    for (const auto& c : cases) {
        CNewScriptDlg request;
        request.products = c.products;
        guitest::WhenModal([](QDialog& d) { Click(d, 1); });
        EXPECT_EQ(config::RunNewScriptDialog(request, nullptr), c.ok);
        EXPECT_EQ(request.product, c.chosen);
    }
}

// Chooses an entry as the user does: the combo box tells its activation.
void Choose(QDialog& dialog, int id, int index) {
    auto* combo = Control<QComboBox>(dialog, id);
    ASSERT_NE(combo, nullptr) << id;
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

bool Enabled(QDialog& dialog, int id) {
    QWidget* control = Control<QWidget>(dialog, id);
    EXPECT_NE(control, nullptr) << id;
    return control && control->isEnabled();
}

// The enabling rules over SMPTE used, device, mode, end behaviour, port and time stamp.
TEST_F(ConfigDialogs, SmpteEnablingRules) {
    Start();
    ASSERT_NE(OpenScript(), nullptr);
    const struct {
        bool used;
        int device, mode, end;
        bool midi, timeStamp;
        // Enabled: sample clock, preroll, start, end behaviour, Use MTC, time stamp, dropout,
        // Configure Now.
        std::vector<bool> enabled;
    } cases[] = {
        {false, 0, 0, 1, false, true, {false, false, false, false, false, false, false, false}},
        {true, 0, 0, 1, false, true, {true, true, true, true, false, true, true, true}},
        {true, 0, 1, 0, false, true, {true, false, true, true, false, true, true, true}},
        {true, 1, 2, 1, false, false, {true, false, false, false, false, true, false, true}},
        {true, 2, 0, 1, true, true, {false, true, true, true, true, false, false, true}},
        {true, 2, 2, 0, true, false, {false, false, false, false, true, false, false, true}},
    };
    const int ids[] = {491, 1123, 1017, 1119, 1010, 471, 339, 334};
    Run(kCfgSmpte, [&](QDialog& d) {
        EXPECT_FALSE(Enabled(d, 332)) << "the Khz label";
        for (const auto& c : cases) {
            Click(d, c.used ? 338 : 337);
            Click(d, c.midi ? 472 : 473);
            Control<QCheckBox>(d, 471)->setChecked(c.timeStamp);
            Choose(d, 488, c.device);
            Choose(d, 1004, c.mode);
            Choose(d, 1119, c.end);
            Click(d, c.used ? 338 : 337);
            std::vector<bool> enabled;
            for (int id : ids)
                enabled.push_back(Enabled(d, id));
            EXPECT_EQ(enabled, c.enabled) << c.used << c.device << c.mode << c.end << c.midi;
            EXPECT_EQ(Control<QComboBox>(d, 491)->count(), c.device == 2 ? 0 : 5);
            for (int always : {337, 338, 1, 2})
                EXPECT_TRUE(Enabled(d, always)) << always;
            if (!c.used) {
                for (int id : {488, 1108, 1004, 1006, 486, 487, 472, 473, 335, 336})
                    EXPECT_FALSE(Enabled(d, id)) << id;
            }
        }
        d.reject();
    });
}

// The dialog's edge cases: the sample clock kept over Tembrel, the preroll copy, the dropout
// clamp, the time checks with the frame rate, and what OK stores and marks.
TEST_F(ConfigDialogs, SmpteEdgeCases) {
    Start();
    CVLDoc* doc = OpenScript();
    ASSERT_NE(doc, nullptr);
    const std::string stem = "Configure SMPTE: Timecode  ";
    Run(kCfgSmpte, [](QDialog& d) { Click(d, 1); });
    EXPECT_FALSE(doc->IsModified()) << "OK without a change";
    EXPECT_TRUE(ui->boxes.empty());

    Run(kCfgSmpte, [&](QDialog& d) {
        Click(d, 338);
        Choose(d, 488, 0);
        EXPECT_EQ(Control<QComboBox>(d, 491)->itemText(2), "44.056");
        Choose(d, 491, 1);
        Choose(d, 488, 2);
        EXPECT_EQ(Control<QComboBox>(d, 491)->count(), 0);
        Choose(d, 488, 1);
        EXPECT_EQ(Control<QComboBox>(d, 491)->currentText(), "35.000") << "the index stays";

        Choose(d, 1004, 0);
        Choose(d, 1119, 0);
        Type(d, 1017, "01:02:03.04");
        EXPECT_EQ(Control<QLineEdit>(d, 1123)->text(), "01:02:03.04");
        EXPECT_FALSE(Enabled(d, 1123));
        Choose(d, 1119, 1);
        EXPECT_TRUE(Enabled(d, 1123));
        Type(d, 1123, "00:00:10.00");
        Type(d, 1017, "00:00:20.00");
        EXPECT_EQ(Control<QLineEdit>(d, 1123)->text(), "00:00:20.00") << "copied again";

        Click(d, 473);
        Control<QCheckBox>(d, 471)->click();
        auto* dropout = Control<QComboBox>(d, 339);
        for (const auto& [typed, shown] :
             std::vector<std::pair<QString, QString>>{{"0", "2"}, {"300", "255"}, {"7", "7"}}) {
            dropout->lineEdit()->clear();
            QTest::keyClicks(dropout->lineEdit(), typed);
            EXPECT_EQ(dropout->currentText(), shown) << typed.toStdString();
        }

        Choose(d, 1108, 2); // 25 fps
        const struct {
            const char* start;
            const char* end;
            const char* refused; // null: accepted
        } times[] = {
            // The preroll, checked first, holds the start time's copy.
            {"25:00:00.00", "00:00:30.00", "Preroll"}, {"12", "00:00:30.00", "Preroll"},
            {"00:00:01.24", "00:00:30.00", nullptr},   {"00:00:01.25", "00:00:30.00", "Preroll"},
            {"00:00:01.00", "00:00:30.99", "End"},
        };
        for (const auto& t : times) {
            ui->boxes.clear();
            Type(d, 1017, t.start);
            Type(d, 1018, t.end);
            Click(d, 1);
            if (t.refused) {
                EXPECT_TRUE(d.isVisible()) << t.start;
                EXPECT_EQ(ui->boxes, std::vector<std::string>{stem + t.refused +
                                                              " Time Invalid.  Please Re-enter..."})
                    << t.start;
            } else {
                EXPECT_FALSE(d.isVisible()) << t.start;
                break;
            }
        }
        if (d.isVisible()) {
            Type(d, 1017, "05.10");
            Type(d, 1018, "00:00:30.00");
            Click(d, 1);
        }
    });
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->m_nSmpteUsed, 1);
    EXPECT_EQ(doc->m_nSmpteDevice, 1);
    EXPECT_EQ(doc->m_wChaseDropoutTolerance, 7);

    // "Not used" still stores every value; a change survives save and reopen.
    Run(kCfgSmpte, [](QDialog& d) {
        Choose(d, 1004, 2);
        Click(d, 337);
        Click(d, 1);
    });
    EXPECT_EQ(doc->m_nSmpteUsed, 0);
    Run(kCfgSmpte, [](QDialog& d) {
        EXPECT_EQ(Control<QComboBox>(d, 1004)->currentIndex(), 2);
        Click(d, 338);
        Click(d, 1);
    });
    const std::string path = (install.Root() / "SCRIPTS/Smpte.ksf").string();
    ASSERT_TRUE(doc->OnSaveDocument(path));
    app.CloseDocument(doc);
    ASSERT_NE(app.OpenDocumentFile(path), nullptr);
    Run(kCfgSmpte, [](QDialog& d) {
        EXPECT_TRUE(Control<QRadioButton>(d, 338)->isChecked());
        EXPECT_EQ(Control<QComboBox>(d, 488)->currentIndex(), 1);
        EXPECT_EQ(Control<QComboBox>(d, 1004)->currentIndex(), 2);
        EXPECT_EQ(Control<QComboBox>(d, 1108)->currentIndex(), 2);
        EXPECT_EQ(Control<QComboBox>(d, 339)->currentText(), "7");
        d.reject();
    });
}

// Enable Now and Disable Now switch the unit at once with the dialog left open; a port that does
// not open and a silent unit are told. Its own suite: it waits on an emulated unit, and its
// reply time-outs and pauses run ten times faster.
struct SmpteNow : ConfigDialogs {
    std::optional<platform::FastWaits> fastWaits{std::in_place, testing_support::kFastWaitFactor};
};

TEST_F(SmpteNow, EnableAndDisableNowSwitchTheUnit) {
    const struct {
        const char* port; // null: nowhere
        testing_support::ReelvoxAnswer answer;
        std::vector<std::string> boxes;
        std::size_t frames;
    } cases[] = {
        {"emulator", testing_support::ReelvoxAnswer::Ack, {}, 2},
        {"emulator",
         testing_support::ReelvoxAnswer::Silent,
         {"Velmora: The SMPTE interface did not answer the Enable SMPTE command (check your "
          "connection).",
          "Velmora: The SMPTE interface did not answer the Disable SMPTE command (check your "
          "connection)."},
         2},
        {nullptr,
         testing_support::ReelvoxAnswer::Ack,
         {"Velmora: The serial port could not be openned",
          "Velmora: The serial port could not be openned"},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port ? "emulator" : "nowhere");
        testing_support::ReproducerEmulatorOptions options;
        options.defaultAnswer = c.answer;
        testing_support::ReproducerEmulator emulator(options);
        ASSERT_TRUE(emulator.Start());
        ui.reset();
        if (window)
            app.ExitInstance();
        window.reset();
        Start(c.port ? emulator.SlavePath() : std::string());
        CVLDoc* doc = OpenScript();
        ASSERT_NE(doc, nullptr);
        bool open = false;
        Run(kCfgSmpte, [&](QDialog& d) {
            Click(d, 338);
            Choose(d, 488, 0); // not sent: the switch carries no settings
            Click(d, 335);
            Click(d, 336);
            open = d.isVisible();
            d.reject();
        });
        EXPECT_TRUE(open);
        EXPECT_EQ(ui->boxes, c.boxes);
        EXPECT_TRUE(emulator.WaitForFrames(c.frames, std::chrono::milliseconds(2000)));
        const auto frames = emulator.Frames();
        ASSERT_EQ(frames.size(), c.frames);
        if (c.frames == 2) {
            EXPECT_EQ(frames[0].bytes, (std::vector<std::uint8_t>{0xFF, 0xFE, 0x0E, 0x05}));
            EXPECT_EQ(frames[1].bytes, (std::vector<std::uint8_t>{0xFF, 0xFE, 0x0D, 0x05}));
        }
        EXPECT_FALSE(doc->IsModified()) << "Cancel keeps the script";
        doc->SetModifiedFlag(false);
        emulator.Stop();
    }
}

// Runs `step` on the next modal dialog of that title (polling until it is up).
void WhenTitled(const QString& title, std::function<void(QDialog&)> step) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, title, step = std::move(step)] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog && dialog->windowTitle() == title) {
            timer->stop();
            timer->deleteLater();
            step(*dialog);
        }
    });
    timer->start();
}

// What the download window showed while it ran.
struct DownloadSeen {
    std::vector<QString> stages;
    int highestProgress = 0;
    QString log, button;
    bool retry = false;
    int progress = -1;
};

// Watches the window until the download completed or failed.
void WatchDownload(QDialog& d, DownloadSeen& seen) {
    QElapsedTimer clock;
    clock.start();
    auto* button = Control<QPushButton>(d, 1084);
    auto* retry = Control<QPushButton>(d, 1086);
    // Every stage the field shows, however short: polling would miss one on a loaded machine.
    auto* stageField = Control<QLineEdit>(d, 1033);
    const auto record = [&seen](const QString& stage) {
        if (!stage.isEmpty() && (seen.stages.empty() || seen.stages.back() != stage))
            seen.stages.push_back(stage);
    };
    record(stageField->text());
    const QMetaObject::Connection watch =
        QObject::connect(stageField, &QLineEdit::textChanged, record);
    while (clock.elapsed() < 30000 && button->text() != "Done" && !retry->isEnabled()) {
        seen.highestProgress =
            std::max(seen.highestProgress, Control<QProgressBar>(d, 1088)->value());
        QTest::qWait(5);
    }
    QObject::disconnect(watch);
    seen.log = Control<QPlainTextEdit>(d, 1032)->toPlainText();
    seen.button = button->text();
    seen.retry = retry->isEnabled();
    seen.progress = Control<QProgressBar>(d, 1088)->value();
}

// Configure Now closes the dialog as OK and downloads the configuration through the download
// window: its stage and progress advance and it ends with "Done"; a silent unit fails with
// Retry, which succeeds once the unit answers; Cancel mid-download closes at once.
TEST_F(SmpteNow, ConfigureNowDownloadsThroughTheDownloadWindow) {
    testing_support::ReproducerEmulatorOptions options;
    options.replyDelay = std::chrono::milliseconds(30);
    // The first frame goes unanswered: the first download fails, the retry succeeds.
    options.rules.push_back(
        {0xFE, std::nullopt, std::nullopt, testing_support::ReelvoxAnswer::Silent, 1});
    testing_support::ReproducerEmulator emulator(options);
    ASSERT_TRUE(emulator.Start());
    Start(emulator.SlavePath());
    CVLDoc* doc = OpenScript();
    ASSERT_NE(doc, nullptr);

    DownloadSeen failed, retried;
    bool closedByEnter = false;
    WhenTitled("Download", [&](QDialog& d) {
        WatchDownload(d, failed);
        Click(d, 1086);
        WatchDownload(d, retried);
        // Enter presses the default button, "Done" by now.
        QTest::keyClick(&d, Qt::Key_Return);
        closedByEnter = !d.isVisible();
        if (d.isVisible())
            Click(d, 1084);
    });
    Run(kCfgSmpte, [](QDialog& d) {
        Click(d, 338);
        Click(d, 334);
    });
    EXPECT_TRUE(doc->IsModified()) << "Configure Now stores as OK does";
    EXPECT_EQ(failed.log, "Downloading...\nDownload Timeout (Check your connection)\nWhile "
                          "downloading SMPTE Interface settings\nUnable to temporarily disable "
                          "SMPTE\n");
    EXPECT_TRUE(failed.retry);
    EXPECT_EQ(failed.progress, 0);
    EXPECT_EQ(retried.button, "Done");
    EXPECT_TRUE(closedByEnter);
    EXPECT_TRUE(retried.log.endsWith("Download Complete\n")) << retried.log.toStdString();
    // The window shows the stage at each refresh: a loaded machine may pass one unseen.
    EXPECT_GE(retried.stages.size(), 2u);
    EXPECT_EQ(retried.progress, 14) << "at its end";
    EXPECT_GT(retried.highestProgress, 1);
    const auto frames = emulator.Frames();
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back().destination, 0xFE);

    // Cancel while the download runs: the window closes at once and the port opens again. On
    // the wall clock: the download of late replies lasts well beyond the bound on the closing.
    fastWaits.reset();
    emulator.Stop();
    testing_support::ReproducerEmulatorOptions slow;
    slow.replyDelay = std::chrono::milliseconds(400);
    testing_support::ReproducerEmulator slowUnit(slow);
    ASSERT_TRUE(slowUnit.Start());
    const platform::SerialPortLookup profileLookup =
        platform::SetSerialPortLookup([path = slowUnit.SlavePath()](int n) {
            return n == 1 ? path : std::string("/nonexistent/tty");
        });
    qint64 closing = -1;
    WhenTitled("Download", [&](QDialog& d) {
        ASSERT_TRUE(slowUnit.WaitForFrames(1, std::chrono::milliseconds(3000)));
        QElapsedTimer clock;
        clock.start();
        Click(d, 1084);
        closing = clock.elapsed();
        EXPECT_FALSE(d.isVisible());
    });
    Run(kCfgSmpte, [](QDialog& d) { Click(d, 334); });
    EXPECT_GE(closing, 0);
    EXPECT_LT(closing, 1000);
    ui->boxes.clear();
    Run(kCfgSmpte, [](QDialog& d) {
        Click(d, 335);
        d.reject();
    });
    EXPECT_TRUE(ui->boxes.empty()) << "the port opened again";
    platform::SetSerialPortLookup(profileLookup);
}

// Edit gives a name another device holds Add's question: Yes removes the other, No reopens
// the device dialog with what was typed, Cancel keeps the device as it was.
TEST(CommDialogEdit, ANameAnotherDeviceHoldsIsAsked) {
    testsupport::QtAppFirst qt;
    const platform::SerialPortLookup previous =
        platform::SetSerialPortLookup([](int) { return std::string("/nonexistent"); });
    const struct {
        platform::MsgResult answer;
        std::vector<std::string> names;
        int reopened;
    } cases[] = {
        {platform::MsgResult::Yes, {"Booth", "Stage"}, 0},
        {platform::MsgResult::No, {"Stage", "Booth", "Lobby"}, 1},
        {platform::MsgResult::Cancel, {"Stage", "Booth", "Lobby"}, 0},
    };
    for (const auto& c : cases) {
        testing_support::ScriptedUi ui;
        CommDialogRequest request;
        for (const char* name : {"Stage", "Booth", "Lobby"}) {
            CQuenlowOb device;
            device.m_strName = name;
            device.m_strIP = std::string(name) == "Lobby" ? "10.0.0.3" : "10.0.0.1";
            request.m_devices.AddTail(device);
        }
        request.m_nMethod = 1;
        request.m_nDevice = 2;
        comm::CCfgCommDlg dialog(request, {});
        dialog.OnInitDialog();
        int reopened = 0;
        guitest::WhenModal([&](QDialog& first) {
            Control<QLineEdit>(first, 464)->setText(QStringLiteral("Stage"));
            // Only No brings the device dialog back.
            if (c.reopened)
                guitest::WhenModal([&](QDialog& second) {
                    ++reopened;
                    EXPECT_EQ(Control<QLineEdit>(second, 464)->text(), "Stage");
                    Click(second, 2);
                });
            Click(first, 1);
        });
        ui.QueueAnswer(c.answer);
        dialog.OnEditDevice();
        EXPECT_EQ(ui.Texts(),
                  std::vector<std::string>{"Name already exists, do you wish to overwrite?"});
        std::vector<std::string> names;
        for (int i = 0; i < int(dialog.Data().m_devices.GetCount()); ++i)
            names.push_back(dialog.Data().m_devices.GetAt(i)->m_strName);
        EXPECT_EQ(names, c.names) << int(c.answer);
        EXPECT_EQ(reopened, c.reopened);
        if (c.answer == platform::MsgResult::Yes) {
            EXPECT_EQ(dialog.Data().m_devices.GetAt(1)->m_strIP, "10.0.0.3");
            EXPECT_EQ(Control<QComboBox>(dialog, 454)->currentText(), "Stage");
        }
    }
    platform::SetSerialPortLookup(previous);
}

// Counts the paints of every window and the input that reaches any.
class EventCounter : public QObject {
public:
    int paints = 0;
    int inputs = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress)
            ++inputs;
        return false;
    }
};

// During a serial download at 9600 baud the windows paint and a repeating timer fires; keys and
// clicks start nothing, then or afterwards; a window-manager close is refused. Its own suite: it
// waits on an emulator in real time.
using TransferPaint = ConfigDialogs;

TEST_F(TransferPaint, TheWindowsPaintAndInputIsDroppedDuringADownload) {
    testing_support::EmulatorOptions options;
    options.baud = 9600;
    testing_support::ControllerEmulator emulator(options);
    ASSERT_TRUE(emulator.Start());
    Start(emulator.SlavePath(), "SerialPort=0\nSerialTimeout=3000\nNoArchiveOffer=TRUE\n");
    CVLDoc* doc = OpenScript();
    ASSERT_NE(doc, nullptr);
    const std::size_t documents = app.OpenDocuments().GetCount();

    bool downloading = false;
    int ticks = 0;
    int posted = 0;
    QTimer repeating;
    repeating.setInterval(20);
    QObject::connect(&repeating, &QTimer::timeout, [&] {
        if (!downloading)
            return;
        ++ticks;
        // What a user might do meanwhile: File New by its key, a click, closing the window.
        if (ticks == 3) {
            QCoreApplication::postEvent(
                window.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_N, Qt::ControlModifier));
            QCoreApplication::postEvent(window.get(),
                                        new QMouseEvent(QEvent::MouseButtonPress, QPointF(20, 10),
                                                        QPointF(20, 10), Qt::LeftButton,
                                                        Qt::LeftButton, Qt::NoModifier));
            QCoreApplication::postEvent(window.get(), new QCloseEvent);
            posted = 3;
        }
    });
    repeating.start();
    EventCounter counter;
    guitest::WhenModal([&](QDialog& dialog) {
        qApp->installEventFilter(&counter);
        downloading = true;
        Click(dialog, 1);
    });
    EXPECT_TRUE(window->RouteCommand(kCompileScript));
    downloading = false;
    QTest::qWait(100); // what was posted and not dropped would come now
    qApp->removeEventFilter(&counter);

    const std::vector<std::uint8_t> image(doc->m_hpbShow.begin(),
                                          doc->m_hpbShow.begin() + doc->m_wImageLength);
    EXPECT_EQ(emulator.StoredImage(), image);
    EXPECT_GE(ticks, 5) << "the repeating timer fired while the image went out";
    EXPECT_GT(counter.paints, 0) << "the windows painted meanwhile";
    EXPECT_EQ(posted, 3);
    EXPECT_EQ(counter.inputs, 0) << "no input reached a window, then or afterwards";
    EXPECT_EQ(app.OpenDocuments().GetCount(), documents) << "the keys started nothing";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(window->isVisible()) << "the close was refused";
    emulator.Stop();
}

} // namespace
