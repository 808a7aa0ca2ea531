// The dialog's controls, its field checks, the slider rules, the displays and help, driven as a
// user drives them.
#include "tests/lumaquill/lumaquill_fixture.h"

#include <QFile>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>
#include <filesystem>

namespace {

using lumaquill::HelpTopic;
using namespace lumaquill_tests;

TEST(LumaquillDialog, ControlsCarryTheirIdsTextsAndFirstState) {
    DialogFixture f;
    struct Expect {
        int id;
        const char* text;
    };
    const Expect buttons[] = {
        {kSetAll, "Set All"},    {kBlackout, "Blackout"}, {kHelp, "Help"},
        {kBaseUp, "+"},          {kBaseDown, "-"},        {kGroupAll, "Grp All"},
        {kEnableAll, "Ena All"}, {kPercent, "Percent"},   {kValueDisplay, "Value"},
        {kPort, "COM1"},         {kPort + 1, "COM2"},     {kPort + 2, "COM3"},
        {kPort + 3, "COM4"},
    };
    for (const Expect& e : buttons) {
        auto* b = f.Ctl<QAbstractButton>(e.id);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->text().toStdString(), e.text) << e.id;
    }
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(f.Ctl<QPushButton>(kSet[k])->text(), "Set");
        EXPECT_EQ(f.Box(kGroup, k)->text(), "Grp");
        EXPECT_EQ(f.Box(kEnable, k)->text(), "Ena");
        EXPECT_FALSE(f.Box(kEnable, k)->isChecked());
        EXPECT_EQ(f.Ctl<QLabel>(kLabel + k)->text(), QString::number(k + 1));
        EXPECT_EQ(f.Ctl<QLabel>(kLabel + k)->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
        QSlider* s = f.Slider(k);
        EXPECT_EQ(s->orientation(), Qt::Vertical);
        EXPECT_EQ(s->minimum(), 0);
        EXPECT_EQ(s->maximum(), 255);
        EXPECT_EQ(s->value(), 255);           // value 0 ...
        EXPECT_TRUE(s->invertedAppearance()); // ... at the bottom
        EXPECT_EQ(s->tickPosition(), QSlider::TicksBothSides);
        EXPECT_EQ(s->tickInterval(), 25);
        EXPECT_EQ(f.Field(k)->text(), "0");
        EXPECT_EQ(f.dialog->RememberedPosition(k), 255);
    }
    EXPECT_EQ(f.dialog->windowTitle(), "Lorquin Channels 1 - 8");
    EXPECT_EQ(f.Ctl<QLineEdit>(kBase)->text(), "1");
    EXPECT_TRUE(f.Ctl<QPushButton>(kSetAll)->isDefault());
    EXPECT_TRUE(f.Ctl<QRadioButton>(kPort)->isChecked());
    EXPECT_TRUE(f.Ctl<QRadioButton>(kPercent)->isChecked());
    EXPECT_TRUE(f.dialog->PercentMode());
    // The port buttons and the display buttons sit in boxes of their own titles.
    EXPECT_EQ(qobject_cast<QGroupBox*>(f.Ctl<QWidget>(kPort)->parentWidget())->title(), "Port");
    EXPECT_EQ(qobject_cast<QGroupBox*>(f.Ctl<QWidget>(kPercent)->parentWidget())->title(),
              "Display");
}

TEST(LumaquillDialog, RefusedFieldShowsItsMessageSelectsTheTextAndKeepsTheLastValidNumber) {
    struct Case {
        const char* name;
        int field;     // kBase or a value field
        QString text;  // pasted over the field's text
        bool typed;    // typed key by key instead
        int setButton; // -1: the base field's own change reads the dialog
        std::string message;
        unsigned base; // the base channel afterwards
    };
    const std::string range1 = "Please enter an integer between 1 and 505.";
    const std::string range0 = "Please enter an integer between 0 and 255.";
    const Case cases[] = {
        {"base emptied", kBase, "", false, -1, "Please enter a positive integer.", 1},
        {"base not a number", kBase, "abc", false, -1, "Please enter a positive integer.", 1},
        {"base negative", kBase, "-3", false, -1, "Please enter a positive integer.", 1},
        {"base 0", kBase, "0", false, -1, range1, 1},
        {"base 506", kBase, "506", false, -1, range1, 1},
        {"base huge", kBase, "99999999999", false, -1, range1, 1},
        // Every keystroke reads the field: 5 and 50 are taken, 506 is refused at once.
        {"base 506 typed", kBase, "506", true, -1, range1, 50},
        {"value 300", kValue + 2, "300", true, 2, range0, 1},
        {"value -1", kValue + 2, "-1", true, 2, range0, 1},
        {"value empty", kValue + 2, "", true, 2, "Please enter an integer.", 1},
        {"value not a number", kValue + 2, "12x", true, 2, "Please enter an integer.", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogFixture f;
        f.StopTimer();
        f.Click(kValueDisplay);
        f.ui.Clear();
        if (c.typed) {
            f.Type(c.field, c.text);
        } else {
            f.Paste(c.field, c.text);
        }
        if (c.setButton >= 0) {
            EXPECT_TRUE(f.ui.Texts().empty()); // typing in a value field reads nothing
            f.Click(kSet[c.setButton]);
        }
        EXPECT_EQ(f.ui.Texts(), std::vector<std::string>{c.message});
        auto* field = f.Ctl<QLineEdit>(c.field);
        EXPECT_TRUE(field->hasFocus());
        EXPECT_EQ(field->selectedText(), field->text());
        // Nothing of the refused number is used.
        EXPECT_EQ(f.dialog->BaseChannel(), c.base);
        EXPECT_EQ(f.dialog->windowTitle(),
                  QStringLiteral("Lorquin Channels %1 - %2").arg(c.base).arg(c.base + 7));
        EXPECT_EQ(f.Ctl<QLabel>(kLabel + 7)->text(), QString::number(c.base + 7));
        EXPECT_EQ(f.Positions(), std::vector<int>(8, 255));
    }
}

TEST(LumaquillDialog, ReadingStopsAtTheFirstRefusedFieldAndTheTimerShowsNoMessage) {
    DialogFixture f;
    f.StopTimer();
    f.Paste(kBase, "abc");
    ASSERT_EQ(f.ui.Texts().size(), 1u);
    f.Box(kEnable, 0)->setChecked(true);
    f.Drag(0, 100); // reads the dialog: the base message again, Ena 1 not reached
    EXPECT_EQ(f.ui.Texts().size(), 2u);
    f.dialog->OnTimer();
    EXPECT_EQ(f.ui.Texts().size(), 2u);
    EXPECT_EQ(f.dialog->TakeSnapshot().values[0], dmx::kNotSent);
    f.Paste(kBase, "12");
    f.Drag(0, 90);
    const dmx::DmxSnapshot s = f.dialog->TakeSnapshot();
    EXPECT_EQ(s.values[0], 165);
    EXPECT_EQ(s.baseChannel, 12);
    EXPECT_EQ(f.dialog->windowTitle(), "Lorquin Channels 12 - 19");
}

TEST(LumaquillDialog, GroupedSlidersFollowAndStopAtTheEnds) {
    // Start: slider 1 at the bottom (255), slider 2 at 200, slider 3 at 100, slider 4 at 50.
    struct Move {
        int slider, position;
    };
    struct Case {
        const char* name;
        std::vector<int> grouped;
        std::vector<Move> moves;
        std::vector<int> positions; // of sliders 1 to 4 afterwards
    };
    const Case cases[] = {
        {"up by 20 moves the group up by 20", {0, 1, 2}, {{1, 180}}, {235, 180, 80, 50}},
        {"an ungrouped slider moves alone", {0, 1, 2}, {{3, 20}}, {255, 200, 100, 20}},
        {"ends stop the followers; the next move counts what the slider travelled",
         {0, 1, 2},
         {{2, 160}, {1, 225}},
         {225, 225, 130, 50}},
        {"to the top", {1, 2, 3}, {{2, 0}}, {255, 100, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DialogFixture f;
        f.StopTimer();
        f.Click(kValueDisplay);
        const int start[4] = {255, 200, 100, 50};
        for (int k = 0; k < 4; ++k) {
            f.Type(kValue + k, QString::number(255 - start[k]));
        }
        f.Click(kSetAll);
        for (int k : c.grouped) {
            f.Box(kGroup, k)->setChecked(true);
        }
        for (const Move& m : c.moves) {
            f.Drag(m.slider, m.position);
        }
        const auto p = f.Positions();
        EXPECT_EQ(std::vector<int>(p.begin(), p.begin() + 4), c.positions);
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(f.dialog->RememberedPosition(k), c.positions[static_cast<size_t>(k)]);
            EXPECT_EQ(f.Field(k)->text(),
                      QString::number(255 - c.positions[static_cast<size_t>(k)]));
        }
        EXPECT_TRUE(f.ui.Texts().empty());
    }
}

TEST(LumaquillDialog, SetMovesTheSliderInBothDisplays) {
    struct Case {
        bool percent;
        QString typed;
        int position;
    };
    const Case cases[] = {
        {false, "200", 55}, {false, "0", 255}, {false, "255", 0},
        {true, "50", 128},  {true, "100", 0},  {true, "150", 0}, // above 100 counts as 100
        {true, "1", 253},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString() + (c.percent ? " percent" : " value"));
        DialogFixture f;
        f.StopTimer();
        if (!c.percent) {
            f.Click(kValueDisplay);
        }
        f.sender->TakeChanged();
        f.Type(kValue + 4, c.typed);
        f.Click(kSet[4]);
        EXPECT_EQ(f.Slider(4)->value(), c.position);
        EXPECT_EQ(f.dialog->RememberedPosition(4), c.position);
        EXPECT_TRUE(f.sender->TakeChanged());
        EXPECT_EQ(f.Field(4)->text(), c.typed); // Set leaves the field as typed
        EXPECT_TRUE(f.ui.Texts().empty());
    }
}

TEST(LumaquillDialog, DisplaySwitchConvertsWithWholeNumbers) {
    DialogFixture f;
    f.StopTimer();
    f.Type(kValue, "50");
    f.Type(kValue + 1, "100");
    f.Click(kValueDisplay);
    EXPECT_FALSE(f.dialog->PercentMode());
    EXPECT_EQ(f.Field(0)->text(), "127");
    EXPECT_EQ(f.Field(1)->text(), "255");
    f.Click(kValueDisplay); // the display already shown: nothing changes
    EXPECT_EQ(f.Field(0)->text(), "127");
    f.Click(kPercent);
    EXPECT_EQ(f.Field(0)->text(), "49");
    EXPECT_EQ(f.Field(1)->text(), "100");
    // Slider moves fill the fields in the display shown.
    f.Drag(2, 0);
    EXPECT_EQ(f.Field(2)->text(), "100");
    f.Drag(2, 128);
    EXPECT_EQ(f.Field(2)->text(), "49");
    f.Click(kValueDisplay);
    f.Drag(2, 128);
    f.Drag(2, 127);
    EXPECT_EQ(f.Field(2)->text(), "128");
}

TEST(LumaquillDialog, BlackoutEnaAllGrpAllAndTheBaseButtons) {
    DialogFixture f;
    f.StopTimer();
    f.Click(kValueDisplay);
    for (int k = 0; k < 8; ++k) {
        f.Type(kValue + k, QString::number(10 * k + 5));
    }
    f.Click(kSetAll);
    f.sender->TakeChanged();
    f.Click(kBlackout);
    EXPECT_EQ(f.Positions(), std::vector<int>(8, 255));
    EXPECT_EQ(f.Fields(), std::vector<QString>(8, "0"));
    EXPECT_TRUE(f.sender->TakeChanged());

    f.Click(kEnableAll);
    f.Click(kGroupAll);
    for (int k = 0; k < 8; ++k) {
        EXPECT_TRUE(f.Box(kEnable, k)->isChecked());
        EXPECT_TRUE(f.Box(kGroup, k)->isChecked());
    }
    EXPECT_FALSE(f.sender->TakeChanged());
    f.Click(kEnableAll);
    for (int k = 0; k < 8; ++k) {
        EXPECT_FALSE(f.Box(kEnable, k)->isChecked());
    }

    f.Click(kBaseDown); // at 1: nothing
    EXPECT_EQ(f.dialog->windowTitle(), "Lorquin Channels 1 - 8");
    f.Click(kBaseUp);
    EXPECT_EQ(f.Ctl<QLineEdit>(kBase)->text(), "2");
    EXPECT_EQ(f.dialog->windowTitle(), "Lorquin Channels 2 - 9");
    EXPECT_EQ(f.Ctl<QLabel>(kLabel)->text(), "2");
    EXPECT_EQ(f.Ctl<QLabel>(kLabel + 7)->text(), "9");
    f.Paste(kBase, "505");
    EXPECT_EQ(f.dialog->windowTitle(), "Lorquin Channels 505 - 512");
    f.Click(kBaseUp); // at 505: nothing
    EXPECT_EQ(f.Ctl<QLineEdit>(kBase)->text(), "505");
    EXPECT_EQ(f.dialog->windowTitle(), "Lorquin Channels 505 - 512");
    f.Click(kBaseDown);
    EXPECT_EQ(f.Ctl<QLabel>(kLabel + 7)->text(), "511");
    // A base channel change alone is nothing to send.
    EXPECT_FALSE(f.sender->TakeChanged());
    EXPECT_TRUE(f.ui.Texts().empty());
}

QPoint HandleCentre(QSlider* slider) {
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.upsideDown = !slider->invertedAppearance();
    option.tickPosition = slider->tickPosition();
    return slider->style()
        ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
        .center();
}

// The filled part of a slider's groove shows the channel's value: none at 0, all at 255, half
// in between; the handle stays where the position puts it.
TEST(LumaquillDialog, ASlidersFilledPartShowsTheValue) {
    DialogFixture f;
    f.StopTimer();
    QSlider* s = f.Slider(0);
    s->resize(s->sizeHint().width(), 260);
    const QColor highlight = s->palette().color(QPalette::Highlight);
    auto filled = [&](int position) {
        s->setValue(position);
        const QImage image = s->grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (std::abs(c.red() - highlight.red()) < 40 &&
                    std::abs(c.green() - highlight.green()) < 40 &&
                    std::abs(c.blue() - highlight.blue()) < 40)
                    ++count;
            }
        return count;
    };
    const int full = filled(0);    // value 255, the handle at the top
    const int half = filled(128);  // value 127
    const int empty = filled(255); // value 0, the handle at the bottom
    EXPECT_GT(full, half);
    EXPECT_GT(half, empty);
    EXPECT_LT(empty, full / 10);
    s->setValue(128);
    EXPECT_NEAR(HandleCentre(s).y(), s->height() / 2, s->height() / 8) << "value 127 mid-way";
    s->setValue(0);
    EXPECT_LT(HandleCentre(s).y(), s->height() / 4) << "value 255 at the top";
}

TEST(LumaquillDialog, KeysWheelAndMouseRunTheRulesButAProgramMoveDoesNot) {
    DialogFixture f;
    f.StopTimer();
    f.Click(kValueDisplay);
    f.Box(kGroup, 0)->setChecked(true);
    f.Box(kGroup, 1)->setChecked(true);
    f.sender->TakeChanged();

    QSlider* s = f.Slider(0);
    s->setFocus();
    QTest::keyClick(s, Qt::Key_Up); // the handle moves up: one more
    EXPECT_EQ(s->value(), 254);
    EXPECT_EQ(f.Field(0)->text(), "1");
    EXPECT_EQ(f.Slider(1)->value(), 254);
    EXPECT_TRUE(f.sender->TakeChanged());
    QTest::keyClick(s, Qt::Key_Home);
    EXPECT_EQ(s->value(), 0);
    EXPECT_EQ(f.Field(1)->text(), "255");
    QTest::keyClick(s, Qt::Key_Down);
    EXPECT_EQ(f.Field(0)->text(), "254");

    // The wheel turned away from the user raises the value.
    const QPoint at = s->rect().center();
    QWheelEvent up(at, s->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QTest::keyClick(s, Qt::Key_End);
    QApplication::sendEvent(s, &up);
    EXPECT_LT(s->value(), 255);
    EXPECT_EQ(f.Field(0)->text(), QString::number(255 - s->value()));
    EXPECT_EQ(f.Slider(1)->value(), s->value());

    // A drag of the handle by the mouse.
    QTest::keyClick(s, Qt::Key_End);
    const QPoint handle = HandleCentre(s);
    QTest::mousePress(s, Qt::LeftButton, Qt::NoModifier, handle);
    QTest::mouseMove(s, handle - QPoint(0, 60));
    QTest::mouseRelease(s, Qt::LeftButton, Qt::NoModifier, handle - QPoint(0, 60));
    EXPECT_LT(s->value(), 255);
    EXPECT_EQ(f.Field(0)->text(), QString::number(255 - s->value()));
    EXPECT_EQ(f.Slider(1)->value(), s->value());

    // A slider moved by the program: no rules, nothing to send.
    f.sender->TakeChanged();
    const QString before = f.Field(2)->text();
    f.Slider(2)->setValue(10);
    EXPECT_EQ(f.Field(2)->text(), before);
    EXPECT_FALSE(f.sender->TakeChanged());
}

TEST(LumaquillDialog, EnterPressesSetAllAndEscapeCloses) {
    DialogFixture f;
    f.StopTimer();
    f.Click(kValueDisplay);
    f.Type(kValue + 3, "100");
    f.Type(kValue + 6, "7");
    QTest::keyClick(f.Field(6), Qt::Key_Return);
    EXPECT_EQ(f.Slider(3)->value(), 155);
    EXPECT_EQ(f.Slider(6)->value(), 248);
    EXPECT_TRUE(f.dialog->isVisible());
    QTest::keyClick(f.Field(6), Qt::Key_Escape);
    EXPECT_FALSE(f.dialog->isVisible());
    EXPECT_EQ(f.dialog->result(), QDialog::Rejected);
}

TEST(LumaquillDialog, HelpPopupForEachControlKindOnF1AndRightClick) {
    struct Case {
        int id;
        HelpTopic topic;
    };
    const Case cases[] = {
        {kSlider + 3, HelpTopic::Slider},  {kSet[5], HelpTopic::Set},
        {kGroup + 1, HelpTopic::Group},    {kSetAll, HelpTopic::SetAll},
        {kEnable + 7, HelpTopic::Enable},  {kValue + 2, HelpTopic::ValueField},
        {kGroupAll, HelpTopic::GroupAll},  {kBase, HelpTopic::BaseChannel},
        {kBaseUp, HelpTopic::BaseChannel}, {kBaseDown, HelpTopic::BaseChannel},
        {kPercent, HelpTopic::Percent},    {kValueDisplay, HelpTopic::Value},
        {kPort + 2, HelpTopic::Port},      {kEnableAll, HelpTopic::EnableAll},
        {kBlackout, HelpTopic::Blackout},
    };
    DialogFixture f;
    f.StopTimer();
    std::vector<QString> pages;
    const auto previous = lumaquill::SetHelpLauncher([&](const QUrl& url) {
        pages.push_back(url.fragment());
        return true;
    });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const QString title = QString::fromLatin1(lumaquill::TopicText(c.topic).title);
        QWidget* w = f.Ctl<QWidget>(c.id);
        w->setFocus();
        QTest::keyClick(w, Qt::Key_F1);
        EXPECT_TRUE(f.dialog->LastPopupHelp().startsWith(title + "\n"));
        // F1 on the Help button, which has no popup: the dialog's general help.
        QTest::keyClick(f.Ctl<QWidget>(kHelp), Qt::Key_F1);
        ASSERT_FALSE(pages.empty());
        EXPECT_EQ(pages.back(), "base-addr");
        pages.clear();
        QContextMenuEvent right(QContextMenuEvent::Mouse, w->rect().center(),
                                w->mapToGlobal(w->rect().center()));
        QApplication::sendEvent(w, &right);
        EXPECT_TRUE(f.dialog->LastPopupHelp().startsWith(title + "\n"));
        EXPECT_TRUE(pages.empty());
    }
    EXPECT_TRUE(f.ui.Texts().empty());
    lumaquill::SetHelpLauncher(previous);
}

TEST(LumaquillDialog, HelpButtonOpensTheBaseChannelTopicOfTheInstalledPage) {
    DialogFixture f;
    f.StopTimer();
    std::vector<QUrl> opened;
    bool answer = true;
    const auto previous = lumaquill::SetHelpLauncher([&](const QUrl& url) {
        opened.push_back(url);
        return answer;
    });
    f.Click(kHelp);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].fragment(), "base-addr");
    EXPECT_EQ(std::filesystem::path(opened[0].toLocalFile().toStdString()),
              std::filesystem::path(VELMORA_DIST_DIR "/Help/lumaquill.html"));
    EXPECT_TRUE(f.ui.Texts().empty());

    answer = false; // the browser would not start
    f.Click(kHelp);
    EXPECT_EQ(f.ui.Texts(), std::vector<std::string>{"Failed to launch help."});

    f.ui.Clear();
    platform::SetInstallDirectory("/nonexistent/Utilities"); // no page installed
    f.Click(kHelp);
    EXPECT_EQ(f.ui.Texts(), std::vector<std::string>{"Failed to launch help."});
    EXPECT_EQ(opened.size(), 2u);
    lumaquill::SetHelpLauncher(previous);
}

TEST(LumaquillHelp, InstalledPageHoldsEveryTopic) {
    QFile page(VELMORA_DIST_DIR "/Help/lumaquill.html");
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    for (int t = 0; t < lumaquill::kHelpTopicCount; ++t) {
        const auto& topic = lumaquill::TopicText(static_cast<HelpTopic>(t));
        EXPECT_TRUE(html.contains(QStringLiteral("id=\"%1\"").arg(topic.anchor))) << topic.anchor;
        EXPECT_TRUE(html.contains(QString::fromLatin1(topic.text))) << topic.anchor;
    }
}

} // namespace
