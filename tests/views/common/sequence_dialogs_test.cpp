#include "platform/qt/mdi_template.h"
#include "platform/qt/mdi_view.h"
#include "platform/qt/qt_ui_services.h"
#include "script/dialog_requests.h"
#include "script/sequence.h"
#include "script/vl_doc.h"
#include "tests/app/gui/gui_test_support.h"
#include "tests/support/app_fixture.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/scripted_ui.h"
#include "views/common/restart_dlg.h"
#include "views/common/seq_trigger_dialog.h"
#include "views/common/sequence_dialogs.h"
#include "views/common/smpte_start_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <array>
#include <functional>
#include <gtest/gtest.h>

namespace {

using guitest::Click;
using guitest::Control;
using guitest::WhenModal;

QString Text(QDialog& d, int id) {
    return Control<QLineEdit>(d, id)->text();
}

void Type(QDialog& d, int id, const QString& text) {
    QLineEdit* edit = Control<QLineEdit>(d, id);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

struct SequenceDialogs : ::testing::Test {
    SequenceDialogs() {
        qt_testing::QtTestApp();
        doc.InitNewScript(CVLDoc::kDefaultProduct);
        doc.SetModifiedFlag(false);
        seq = doc.m_poSeqList.front().get();
        seq->m_nNeedsCompile = 0;
    }
    testing_support::AppFixture app;
    testing_support::ScriptedUi ui;
    CVLDoc doc{app.App()};
    CSeq* seq = nullptr;
};

TEST_F(SequenceDialogs, RestartLockoutFollowsItsBoxAndRefusesNumbersBeyond16Bits) {
    seq->m_nRestart = 0;
    seq->m_wRestartLockout = 12;
    WhenModal([this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Sequence Restart Options");
        EXPECT_FALSE(Control<QLineEdit>(d, 291)->isEnabled());
        EXPECT_FALSE(Control<QWidget>(d, 293)->isEnabled());
        EXPECT_EQ(Text(d, 291), "12");
        Click(d, 290);
        EXPECT_TRUE(Control<QLineEdit>(d, 291)->isEnabled());
        EXPECT_TRUE(Control<QWidget>(d, 292)->isEnabled());
        Type(d, 291, "65536");
        Click(d, 1);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(ui.Texts(),
                  std::vector<std::string>{"Please enter an integer between 0 and 65535."});
        Type(d, 291, "abc");
        Click(d, 290); // the click reads the fields first
        EXPECT_EQ(ui.Texts().back(), "Please enter an integer.");
        Click(d, 290);
        Type(d, 291, "65535");
        Click(d, 1);
    });
    EXPECT_TRUE(EditSequenceRestart(doc, *seq, nullptr));
    EXPECT_EQ(seq->m_nRestart, 1);
    EXPECT_EQ(seq->m_wRestartLockout, 65535);
    EXPECT_EQ(seq->m_nNeedsCompile, 1);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(SequenceDialogs, RestartCancelChangesNothing) {
    WhenModal([](QDialog& d) {
        Click(d, 290);
        Click(d, 2);
    });
    EXPECT_FALSE(EditSequenceRestart(doc, *seq, nullptr));
    EXPECT_EQ(seq->m_nRestart, 0);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(seq->m_nNeedsCompile, 0);
}

// A refused OK reads part of the fields; Cancel after it still leaves the sequence as it was.
TEST_F(SequenceDialogs, CancelAfterARefusedOkChangesNothing) {
    seq->m_nRestart = 0;
    seq->m_wRestartLockout = 12;
    seq->m_nSmpteStartOn = 0;
    seq->m_anSmpteStart = {3, 4, 5, 6};
    struct Case {
        const char* name;
        std::function<bool()> edit;
        std::function<void(QDialog&)> steps;
    };
    const Case cases[] = {
        {"restart: the box ticked, a lockout beyond 16 bits",
         [this] { return EditSequenceRestart(doc, *seq, nullptr); },
         [](QDialog& d) {
             Click(d, 290);
             Type(d, 291, "70000");
             Click(d, 1);
             EXPECT_TRUE(d.isVisible());
             Click(d, 2);
         }},
        {"timecode start: the trigger ticked, hours typed, minutes no number",
         [this] { return EditSequenceTimecodeStart(doc, *seq, nullptr); },
         [](QDialog& d) {
             Click(d, 182);
             Type(d, 184, "7");
             Control<QLineEdit>(d, 185)->setText(QStringLiteral("x"));
             Click(d, 1);
             EXPECT_TRUE(d.isVisible());
             Click(d, 2);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.boxes.clear();
        WhenModal(c.steps);
        EXPECT_FALSE(c.edit());
        EXPECT_EQ(ui.boxes.size(), 1u) << "the refusal was said";
        EXPECT_EQ(seq->m_nRestart, 0);
        EXPECT_EQ(seq->m_wRestartLockout, 12);
        EXPECT_EQ(seq->m_nSmpteStartOn, 0);
        EXPECT_EQ(seq->m_anSmpteStart, (std::array<std::int32_t, 4>{3, 4, 5, 6}));
        EXPECT_FALSE(doc.IsModified());
        EXPECT_EQ(seq->m_nNeedsCompile, 0);
    }
}

TEST(SmpteStartNormalise, CarriesAndBorrows) {
    struct Case {
        std::array<int, 4> before, after;
        int last;
    } cases[] = {
        {{0, 59, 59, 30}, {1, 0, 0, 0}, 29},      // up at F with 59:59
        {{23, 59, 59, 30}, {23, 59, 59, 29}, 29}, // nothing above 23:59:59.F
        {{0, 5, 0, -1}, {0, 4, 59, 29}, 29},      // down at 0 with 0 seconds
        {{0, 0, 0, -1}, {0, 0, 0, 0}, 29},        {{2, 0, 0, -1}, {1, 59, 59, 23}, 23},
        {{1, 2, 3, 25}, {1, 2, 4, 0}, 24},        {{0, 0, 60, 0}, {0, 1, 0, 0}, 29},
        {{0, 60, 0, 0}, {1, 0, 0, 0}, 29},        {{24, 0, 0, 0}, {23, 0, 0, 0}, 29},
        {{0, 3, -1, 0}, {0, 2, 59, 0}, 29},       {{1, -1, 0, 0}, {0, 59, 0, 0}, 29},
        {{-1, 0, 0, 0}, {0, 0, 0, 0}, 29},
    };
    for (Case c : cases) {
        CSmpteStartDlg::Normalise(c.before, c.last);
        EXPECT_EQ(c.before, c.after) << c.after[0] << ":" << c.after[1] << ":" << c.after[2];
    }
}

TEST_F(SequenceDialogs, TimecodeFramesClampAtTheRatesLastFrame) {
    const int lasts[4] = {23, 24, 29, 29};
    for (int code = 0; code < 4; ++code) {
        doc.m_wFrameRate = static_cast<std::uint16_t>(code);
        seq->m_nSmpteStartOn = 1;
        WhenModal([last = lasts[code]](QDialog& d) {
            auto* spinner = Control<QScrollBar>(d, 197);
            EXPECT_EQ(spinner->maximum(), last); // the frames field has the focus at opening
            Type(d, 187, "30");
            EXPECT_EQ(Text(d, 187), QString::number(last));
            EXPECT_EQ(spinner->sliderPosition(), 0);
            Type(d, 186, "75");
            EXPECT_EQ(Text(d, 186), "59");
            // A negative value only arrives whole (pasted): typing '-' alone is no integer.
            Control<QLineEdit>(d, 184)->setText(QStringLiteral("-3"));
            emit Control<QLineEdit>(d, 184)->textEdited(QStringLiteral("-3"));
            EXPECT_EQ(Text(d, 184), "0");
            Click(d, 2);
        });
        EXPECT_FALSE(EditSequenceTimecodeStart(doc, *seq, nullptr));
    }
}

TEST_F(SequenceDialogs, SpinnersCarryAndOkStoresEvenDisabledChaseTimes) {
    doc.m_wFrameRate = 1; // 25 fps
    seq->m_strName = "Show";
    seq->m_nSmpteStartOn = 1;
    seq->m_anSmpteStart = {0, 59, 59, 24};
    seq->m_nChaseOn = 1;
    seq->m_anChaseStart = {0, 5, 0, 0};
    WhenModal([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Timecode Trigger of Show");
        auto* trigger = Control<QScrollBar>(d, 197);
        trigger->triggerAction(QAbstractSlider::SliderSingleStepSub); // up
        EXPECT_EQ(Text(d, 184), "1");
        EXPECT_EQ(Text(d, 185), "0");
        EXPECT_EQ(Text(d, 187), "0");
        Control<QLineEdit>(d, 196)->setFocus();
        auto* chase = Control<QScrollBar>(d, 198);
        chase->triggerAction(QAbstractSlider::SliderSingleStepAdd); // down
        EXPECT_EQ(Text(d, 189), "4");
        EXPECT_EQ(Text(d, 190), "59");
        EXPECT_EQ(Text(d, 196), "24");
        EXPECT_EQ(chase->sliderPosition(), 0);
        Click(d, 479);
        Click(d, 471); // chase off: its fields grey but keep their values
        EXPECT_FALSE(Control<QLineEdit>(d, 189)->isEnabled());
        EXPECT_FALSE(Control<QGroupBox>(d, 477)->isEnabled());
        EXPECT_FALSE(Control<QRadioButton>(d, 479)->isEnabled());
        EXPECT_TRUE(Control<QLineEdit>(d, 184)->isEnabled());
        Click(d, 1);
    });
    EXPECT_TRUE(EditSequenceTimecodeStart(doc, *seq, nullptr));
    EXPECT_EQ(seq->m_anSmpteStart, (std::array<std::int32_t, 4>{1, 0, 0, 0}));
    EXPECT_EQ(seq->m_nChaseOn, 0);
    EXPECT_EQ(seq->m_nChaseMode, 1);
    EXPECT_EQ(seq->m_anChaseStart, (std::array<std::int32_t, 4>{0, 4, 59, 24}));
    EXPECT_DOUBLE_EQ(seq->m_dChaseStart, (4 * 60 + 59) * 25.0 + 24);
    EXPECT_EQ(seq->m_strChaseStart, "00:04:59.24");
    EXPECT_EQ(seq->m_nNeedsCompile, 1);
    EXPECT_TRUE(doc.IsModified());
}

// A stand-in view that counts its initial updates.
struct CountingView : platform::qt::MdiView {
    explicit CountingView(const char* name) : name_(name) {}
    const char* ViewClassName() const override { return name_; }
    void OnInitialUpdate() override { ++updates; }
    void ActivateFrame() override { ++activations; }
    const char* name_;
    int updates = 0;
    int activations = 0;
};

TEST_F(SequenceDialogs, CloseBoxCancelsAndRefreshesTheSequenceViews) {
    CountingView list("CSeqListView"), smpte("CsmpteView"), events("CEvntView");
    for (CountingView* view : {&list, &smpte, &events})
        doc.AddView(view);
    seq->m_anSmpteStart = {3, 0, 0, 0};
    WhenModal([](QDialog& d) {
        Type(d, 184, "5");
        d.close();
    });
    EXPECT_FALSE(EditSequenceTimecodeStart(doc, *seq, nullptr));
    EXPECT_EQ(seq->m_anSmpteStart[0], 3);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(list.updates, 1);
    EXPECT_EQ(list.activations, 1);
    EXPECT_EQ(smpte.updates, 1);
    EXPECT_EQ(events.updates, 0);
    for (CountingView* view : {&list, &smpte, &events})
        doc.RemoveView(view);
}

struct TriggerDialog : SequenceDialogs {
    TriggerDialog() {
        platform::qt::ViewRegistry registry;
        RegisterSequenceDialogs(registry, [] { return nullptr; });
        registry.InstallDialogs(services);
        // The script model asks the scripted interface, which hands the request on.
        for (int i = 0; i < 2; ++i)
            ui.QueueDialog([this](platform::DialogRequest& r) { return services.RunDialog(r); });
    }
    platform::qt::QtUiServices services;
};

TEST_F(TriggerDialog, EnablingFollowsTheTextsAndChosenEntriesStoreTheirPlainNames) {
    seq->m_strName = "Intro";
    ASSERT_GT(doc.m_pProduct->m_wInputs, 2);
    const std::string input = doc.m_pProduct->m_Inputs[2].m_strName;
    const std::string variable = doc.m_pProduct->m_Vars[0].m_strName;
    WhenModal([&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Stop Triggers of Intro");
        auto* inputs = Control<QComboBox>(d, 214);
        auto* vars = Control<QComboBox>(d, 215);
        EXPECT_EQ(inputs->count(), doc.m_pProduct->m_wInputs);
        EXPECT_EQ(vars->count(), doc.m_pProduct->m_wVars);
        EXPECT_EQ(Control<QComboBox>(d, 216)->count(), doc.m_pProduct->m_wVars);
        // An empty input greys the edges and the combination.
        EXPECT_FALSE(Control<QRadioButton>(d, 212)->isEnabled());
        EXPECT_FALSE(Control<QRadioButton>(d, 201)->isEnabled());
        const int entry =
            inputs->findText(QStringLiteral("I-03: ") + platform::qt::ToQString(input));
        ASSERT_GE(entry, 0);
        inputs->setCurrentIndex(entry);
        emit inputs->activated(entry);
        EXPECT_TRUE(Control<QRadioButton>(d, 213)->isEnabled());
        EXPECT_FALSE(Control<QRadioButton>(d, 202)->isEnabled());
        QTest::qWait(20); // the plain name follows the selection
        EXPECT_EQ(inputs->currentText(), platform::qt::ToQString(input));
        vars->setFocus();
        QTest::keyClicks(vars->lineEdit(), "Anything");
        EXPECT_TRUE(Control<QRadioButton>(d, 202)->isEnabled());
        Click(d, 213);
        Click(d, 202);
        Click(d, 208); // LT
        QTest::keyClicks(Control<QComboBox>(d, 216)->lineEdit(), "12");
        Click(d, 1);
    });
    ASSERT_TRUE(seq->EditTrigger(&doc, CSeq::Stop));
    const CTrigger& trigger = seq->m_aTriggers[CSeq::Stop];
    EXPECT_EQ(trigger.m_strIoName, input);
    EXPECT_EQ(trigger.m_nGoesOn, 0);
    EXPECT_EQ(trigger.m_wCombine, CTrigger::Or);
    EXPECT_EQ(trigger.m_strVariable, "Anything");
    EXPECT_EQ(trigger.m_wComparison, CTrigger::LT);
    EXPECT_EQ(trigger.m_strValue, "12");
    (void)variable;
}

TEST_F(TriggerDialog, TypedNamesAreStoredAsTypedAndCancelKeepsTheTrigger) {
    WhenModal([](QDialog& d) {
        auto* inputs = Control<QComboBox>(d, 214);
        inputs->setFocus();
        QTest::keyClicks(inputs->lineEdit(), "Output 7");
        EXPECT_TRUE(Control<QRadioButton>(d, 212)->isEnabled());
        Click(d, 1);
    });
    ASSERT_TRUE(seq->EditTrigger(&doc, CSeq::Start));
    EXPECT_EQ(seq->m_aTriggers[CSeq::Start].m_strIoName, "Output 7");
    EXPECT_EQ(seq->m_aTriggers[CSeq::Start].m_nGoesOn, 1);

    WhenModal([](QDialog& d) {
        EXPECT_EQ(Control<QComboBox>(d, 214)->currentText(), "Output 7");
        EXPECT_TRUE(Control<QRadioButton>(d, 212)->isChecked());
        QTest::keyClicks(Control<QComboBox>(d, 214)->lineEdit(), "x");
        Click(d, 2);
    });
    EXPECT_FALSE(seq->EditTrigger(&doc, CSeq::Start));
    EXPECT_EQ(seq->m_aTriggers[CSeq::Start].m_strIoName, "Output 7");
}

} // namespace
