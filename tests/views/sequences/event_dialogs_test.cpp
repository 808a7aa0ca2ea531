#include "tests/support/qt_test_app.h"
#include "tests/support/scripted_ui.h"
#include "tests/views/sequences/event_fixtures.h"
#include "views/sequences/event_dialogs.h"
#include "views/sequences/event_wizard_lists.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace eventwizard;

template <typename T> T* Ctl(QWidget& dialog, int id) {
    return dialog.findChild<T*>(QStringLiteral("ctl_%1").arg(id));
}

struct EventWizards : ::testing::Test, testsupport::QtAppFirst {
    eventtest::FixtureServices services;
    std::unique_ptr<CVLDoc> doc = eventtest::MakeScript(services);
};

TEST_F(EventWizards, EventsListMergesInternalAndPortEvents) {
    CEvnt event;
    const EventsList all = BuildEventsList(*doc, event);
    EXPECT_EQ(all.label, kAllEventsLabel);
    // Play is in both: one "I&E: " entry however many commands share it.
    EXPECT_EQ(all.entries, (std::vector<std::string>{"EXT: Eject", "I&E: Play", "INT: Nop",
                                                     "INT: On", "INT: Start"}));
    EXPECT_EQ(all.highlighted, 2); // Nop
    EXPECT_EQ(all.specific, nullptr);

    // Data1 names the port: only the internal events and that port's protocol, under its name.
    event.m_strData1 = "deck";
    event.m_strEvent = "Eject";
    const EventsList port = BuildEventsList(*doc, event);
    EXPECT_EQ(port.label, "Acme_Deck");
    ASSERT_NE(port.specific, nullptr);
    EXPECT_EQ(port.highlighted, 0);

    // A port whose protocol is None: internal events only, under the event protocol's name.
    event.m_strData1 = "Spare";
    const EventsList spare = BuildEventsList(*doc, event);
    EXPECT_EQ(spare.label, "Brevant_Events");
    EXPECT_EQ(spare.entries.size(), 4u);
}

TEST_F(EventWizards, VariationsAreCollectedOnceAndSplitAtABlank) {
    services.events.m_poCmndList.push_back(
        eventtest::Command("Play", std::string(30, 'a') + " " + std::string(30, 'b')));
    const std::string text = VariationsText(*doc, nullptr, "I&E: Play");
    EXPECT_EQ(text, "Play Variations\r\n\r\n"
                    "Play\r\n\tPlays the internal player\r\n"
                    "Play\r\n\t" +
                        std::string(30, 'a') + "\r\n\t" + std::string(30, 'b') +
                        "\r\n"
                        "Play:Fwd\r\n\tPlays forward\r\n"
                        "Play:Rev\r\n\tNo Description Available\r\n");
}

TEST_F(EventWizards, DataFieldHelpPerParameter) {
    CEvnt event;
    event.m_strEvent = "Play";
    event.m_strData1 = "Deck";
    const DataHelp first = DataFieldHelp(*doc, event, 1);
    EXPECT_EQ(first.label, "Event: Play- Help for parameter 1");
    EXPECT_EQ(first.text, "Play\r\n\tPlayer\r\nPlay:Fwd\r\n\tPort\r\nPlay:Rev\r\n\tPort\r\n");
    // Parameters 2-4 come from the named port's protocol only.
    EXPECT_EQ(DataFieldHelp(*doc, event, 2).text,
              "Play:Fwd\r\n\tSpeed\r\nPlay:Rev\r\n\tThis event does not require parameter 2\r\n");
    event.m_strEvent = "Nop";
    event.m_strData1 = "";
    EXPECT_EQ(DataFieldHelp(*doc, event, 3).text,
              "Nop\r\n\tThis event does not require any parameters\r\n");
}

TEST_F(EventWizards, ResourceListPresetsAndStartKinds) {
    const ResourceList preset = BuildResourceList(*doc, "lamp", "On");
    ASSERT_GE(preset.highlighted, 0);
    // Inputs are tried before outputs.
    EXPECT_EQ(preset.entries[static_cast<std::size_t>(preset.highlighted)], "Input: Lamp");
    EXPECT_TRUE(preset.showComment);
    EXPECT_EQ(preset.entries.front(), "Data:  Hello");

    struct Case {
        const char* event;
        const char* expected;
    } cases[] = {{"IfOn", "Input: Button"},     {"Pulse", "Output:Fan"},
                 {"Display", "LCD:   Welcome"}, {"Msgout", "Data:  Hello"},
                 {"Start", "Seq:   Intro"},     {"AddVar", "Var:   Count"},
                 {"Goto", "Data:  Hello"}};
    for (const auto& c : cases) {
        const ResourceList list = BuildResourceList(*doc, "", c.event);
        ASSERT_GE(list.highlighted, 0) << c.event;
        EXPECT_EQ(list.entries[static_cast<std::size_t>(list.highlighted)], c.expected) << c.event;
        EXPECT_FALSE(list.showComment);
    }
    EXPECT_EQ(ResourceComment(*doc, "Seq:   Intro"), "The opening");
    EXPECT_EQ(ResourceComment(*doc, "Output:Lamp"), "The lamp");
    EXPECT_EQ(ResourceComment(*doc, "Output:lamp"), ""); // names match exactly
    EXPECT_EQ(ResourceDialogHeight("one line"), 262);
    EXPECT_EQ(ResourceDialogHeight("a\nb\nc"), 262 + 32);
}

TEST_F(EventWizards, ResourceDialogShowsTheCommentAndResizes) {
    ResourceListRequest request;
    request.document = doc.get();
    request.name = "Button";
    DCResource dialog(request);
    EXPECT_EQ(dialog.Comment()->text(), "Start button\nat the door\nleft side");
    EXPECT_EQ(dialog.height(), 262 + 32);
    dialog.List()->ForwardChar('F'); // type-ahead over the picker's own prefixes
    EXPECT_EQ(dialog.List()->CurrentEntry(), "Output:Fan");
    dialog.accept();
    EXPECT_EQ(request.name, "Fan");

    // An empty data field of a Start event: the first sequence, the label still "Comment".
    ResourceListRequest start;
    start.document = doc.get();
    start.eventName = "Start";
    DCResource second(start);
    EXPECT_EQ(second.List()->CurrentEntry(), "Seq:   Intro");
    EXPECT_EQ(second.Comment()->text(), "Comment");
}

TEST_F(EventWizards, OkWithNothingHighlightedIsCancel) {
    CVLDoc empty(services);
    ResourceListRequest request;
    request.document = &empty;
    request.name = "kept";
    DCResource dialog(request);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(request.name, "kept");
}

TEST_F(EventWizards, EventsDialogWritesTheChosenEvent) {
    CEvnt event;
    EventsListRequest request;
    request.document = doc.get();
    request.event = &event;
    request.initialChar = 'E';
    CAvailEventsListDlg dialog(request);
    EXPECT_EQ(Ctl<QLabel>(dialog, 252)->text(), kAllEventsLabel);
    EXPECT_TRUE(Ctl<QPlainTextEdit>(dialog, 325)->toPlainText().startsWith("Eject Variations"));
    dialog.accept();
    EXPECT_EQ(event.m_strEvent, "Eject");
}

TEST_F(EventWizards, RemarkDialogStartsAtTheGivenChoice) {
    RemarkRequest request;
    request.choice = 1;
    CEvntWizRemDlg dialog(request);
    EXPECT_TRUE(Ctl<QRadioButton>(dialog, 256)->isChecked());
    Ctl<QRadioButton>(dialog, 255)->setChecked(true);
    dialog.accept();
    EXPECT_EQ(request.choice, 0);
}

TEST_F(EventWizards, TimeWizardTextsPerChoiceAndMode) {
    for (bool frames : {false, true}) {
        TimeWizardRequest request;
        request.currentLength = "00:20.00";
        request.document = doc.get();
        request.eventsInFrames = frames;
        CEvntWizTimeDlg dialog(request);
        dialog.show();
        const QString zero = frames ? "0" : "00:00.00";
        EXPECT_EQ(Ctl<QRadioButton>(dialog, 271)->text(), "Add Time to Event");
        EXPECT_EQ(Ctl<QRadioButton>(dialog, 272)->text(), "Subtract Time from Event");
        EXPECT_FALSE(Ctl<QRadioButton>(dialog, 273)->isEnabled());
        EXPECT_EQ(Ctl<QLineEdit>(dialog, 274)->text(), zero);
        EXPECT_EQ(Ctl<QCheckBox>(dialog, 280)->text(),
                  frames ? "Do not modify events with 0 times"
                         : "Do not modify events with 00:00.00 times");
        EXPECT_FALSE(Ctl<QLineEdit>(dialog, 277)->isVisible());
        EXPECT_FALSE(Ctl<QLabel>(dialog, 345)->isVisible());
        EXPECT_FALSE(Ctl<QCheckBox>(dialog, 347)->isVisible());

        Ctl<QCheckBox>(dialog, 280)->setChecked(true);
        Ctl<QRadioButton>(dialog, 343)->click();
        EXPECT_EQ(Ctl<QLabel>(dialog, 275)->text(), "New Overall Length");
        EXPECT_EQ(Ctl<QLabel>(dialog, 345)->text(), frames
                                                        ? "Sequence length is currently 600 frames "
                                                        : "Sequence length is currently 00:20.00");
        EXPECT_EQ(Ctl<QLineEdit>(dialog, 274)->text(), frames ? "600" : "00:20.00");
        EXPECT_TRUE(Ctl<QCheckBox>(dialog, 347)->isVisible());
        EXPECT_FALSE(Ctl<QCheckBox>(dialog, 280)->isVisible());

        Ctl<QRadioButton>(dialog, 271)->click();
        EXPECT_FALSE(Ctl<QLabel>(dialog, 345)->isVisible());
        EXPECT_FALSE(Ctl<QCheckBox>(dialog, 347)->isVisible());
        EXPECT_TRUE(Ctl<QCheckBox>(dialog, 280)->isVisible());
        EXPECT_TRUE(Ctl<QCheckBox>(dialog, 280)->isChecked());
        EXPECT_EQ(Ctl<QLineEdit>(dialog, 274)->text(), zero);
        dialog.accept();
        EXPECT_EQ(request.choice, 0);
        EXPECT_TRUE(request.skipZero);
    }
}

TEST_F(EventWizards, TimeWizardFillOffersItsIncrementWithSeveralEvents) {
    TimeWizardRequest request;
    request.severalEvents = true;
    request.choice = 0;
    CEvntWizTimeDlg dialog(request);
    dialog.show();
    EXPECT_EQ(Ctl<QRadioButton>(dialog, 271)->text(), "Add Time to Events");
    EXPECT_EQ(Ctl<QRadioButton>(dialog, 272)->text(), "Subtract Time from Events");
    Ctl<QRadioButton>(dialog, 273)->click();
    EXPECT_EQ(Ctl<QLabel>(dialog, 275)->text(), "Start Time to Fill");
    EXPECT_EQ(Ctl<QLabel>(dialog, 279)->text(), "Filled Time Increments");
    EXPECT_TRUE(Ctl<QLineEdit>(dialog, 277)->isVisible());
    EXPECT_FALSE(Ctl<QCheckBox>(dialog, 280)->isVisible());
    Ctl<QLineEdit>(dialog, 274)->setText("00:10.00");
    Ctl<QLineEdit>(dialog, 277)->setText("00:00.15");
    dialog.accept();
    EXPECT_EQ(request.choice, 2);
    EXPECT_EQ(request.firstText, "00:10.00");
    EXPECT_EQ(request.incrementText, "00:00.15");

    testing_support::ScriptedUi ui;
    dialog.OnTips();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].caption, "Event Wizard- Time Tips");
    EXPECT_EQ(ui.boxes[0].text.substr(0, 60),
              "Time is used to determine when each event occurs.  Time can ");
}

} // namespace
