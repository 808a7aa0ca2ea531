#include "views/sequences/event_dialogs.h"

#include "controls/dialogkit/dialog_kit.h"
#include "platform/qt/mdi_template.h"
#include "platform/qt/qt_ui_services.h"
#include "script/event.h"
#include "script/time_conversions.h"
#include "script/vl_doc.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

using platform::qt::FromQString;
using platform::qt::ToQString;

PrefixTypeAheadList::PrefixTypeAheadList(std::vector<std::string> prefixes, QWidget* parent)
    : QListWidget(parent), prefixes_(std::move(prefixes)) {}

void PrefixTypeAheadList::SetEntries(const std::vector<std::string>& entries) {
    entries_ = entries;
    clear();
    for (const std::string& entry : entries)
        addItem(ToQString(entry));
}

void PrefixTypeAheadList::ForwardChar(int c) {
    if (c < 0x20 || c > 0xFF)
        return;
    typed_ += static_cast<char>(c);
    int found = eventwizard::FindTyped(entries_, prefixes_, typed_);
    if (found < 0) {
        // A character that continues nothing starts a new search.
        typed_ = std::string(1, static_cast<char>(c));
        found = eventwizard::FindTyped(entries_, prefixes_, typed_);
    }
    if (found >= 0)
        setCurrentRow(found);
}

std::string PrefixTypeAheadList::CurrentEntry() const {
    const QListWidgetItem* item = currentItem();
    return item && item->isSelected() ? FromQString(item->text()) : std::string();
}

void PrefixTypeAheadList::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (text.size() == 1 && text[0].unicode() > 0x20 &&
        !(event->modifiers() & Qt::ControlModifier)) {
        ForwardChar(text[0].unicode());
        return;
    }
    typed_.clear();
    QListWidget::keyPressEvent(event);
}

namespace {

const char* const kTips[] = {
    "Time is used to determine when each event occurs.  Time can ",
    "can be described in either Standard Time ( MM:SS.FF ) or Absolute",
    "Frames ( FFFFF ).  Time cannot exceed 65535 Frames, which is approximately",
    "35 minutes, depending upon the frame rate set in Configuration | Unit.\n\n",
    "Time ALWAYS begins at Zero at the beginning ",
    "of each sequence, and continues to progress forward until the end of ",
    "the sequence.  Time can never go backward, and events with event ",
    "times LESS than the CURRENT RUNNING TIME are executed immediately."};

QLabel* MakeLabel(const QString& text, int id, QWidget* parent) {
    return dialogs::Named(new QLabel(text, parent), id);
}

QDialogButtonBox* StackedOkCancel(QDialog& dialog, const char* okText = "OK",
                                  const char* cancelText = "Cancel") {
    auto* box = new QDialogButtonBox(Qt::Vertical, &dialog);
    auto* ok = dialogs::MakeButton(okText, 1);
    auto* cancel = dialogs::MakeButton(cancelText, 2);
    ok->setDefault(true);
    box->addButton(ok, QDialogButtonBox::AcceptRole);
    box->addButton(cancel, QDialogButtonBox::RejectRole);
    QObject::connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return box;
}

} // namespace

// ---- Time Wizard (159) ----

CEvntWizTimeDlg::CEvntWizTimeDlg(TimeWizardRequest& request, QWidget* parent)
    : QDialog(parent), request_(request) {
    setWindowTitle("Time Wizard");
    auto* selected = new QGroupBox("Wizards That Apply to selected Events", this);
    auto* whole = new QGroupBox("Wizards That Apply to the Entire Sequence", this);
    auto* params = new QGroupBox("Wizard Parameters", this);
    const bool several = request.severalEvents;
    radios_[0] = dialogs::MakeRadio(several ? "Add Time to Events" : "Add Time to Event", 271);
    radios_[1] =
        dialogs::MakeRadio(several ? "Subtract Time from Events" : "Subtract Time from Event", 272);
    radios_[2] = dialogs::MakeRadio("Incrementally Fill Times in Events", 273);
    radios_[3] = dialogs::MakeRadio("Expand or Compress Overall Sequence Length, Spacing", 343);
    radios_[2]->setEnabled(several);
    // One group across the two group boxes: exactly one choice is on.
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i)
        group->addButton(radios_[i], i);
    auto* sl = new QVBoxLayout(selected);
    for (int i = 0; i < 3; ++i)
        sl->addWidget(radios_[i]);
    auto* wl = new QVBoxLayout(whole);
    wl->addWidget(radios_[3]);
    wl->addWidget(MakeLabel("All Event Times Proportional to Specified Time", 346, whole));

    const bool frames = request.eventsInFrames;
    skipZero_ = dialogs::MakeCheck(frames ? "Do not modify events with 0 times"
                                          : "Do not modify events with 00:00.00 times",
                                   280);
    firstLabel_ = MakeLabel("Time to Add", 275, params);
    first_ = dialogs::Named(new QLineEdit(frames ? "0" : "00:00.00", params), 274);
    incrementLabel_ = MakeLabel("", 279, params);
    increment_ = dialogs::Named(new QLineEdit(params), 277);
    length_ = MakeLabel("Current Length of Sequence is MM:SS.FF", 345, params);
    seconds_ = dialogs::MakeCheck("Round off Event Times to the Second", 347);
    auto* pl = new QGridLayout(params);
    pl->addWidget(skipZero_, 0, 0, 1, 2);
    pl->addWidget(firstLabel_, 1, 0);
    pl->addWidget(first_, 1, 1);
    pl->addWidget(incrementLabel_, 2, 0);
    pl->addWidget(increment_, 2, 1);
    pl->addWidget(length_, 3, 0, 1, 2);
    pl->addWidget(seconds_, 4, 0, 1, 2);

    auto* buttons = StackedOkCancel(*this);
    auto* tips = dialogs::MakeButton("Tips", 269);
    buttons->addButton(tips, QDialogButtonBox::ActionRole);
    connect(tips, &QPushButton::clicked, this, [this] { OnTips(); });
    for (int i = 0; i < 4; ++i)
        connect(radios_[i], &QRadioButton::clicked, this, [this, i] { Choose(i); });

    auto* left = new QVBoxLayout;
    left->addWidget(selected);
    left->addWidget(whole);
    left->addWidget(params);
    auto* top = new QHBoxLayout(this);
    top->addLayout(left);
    top->addWidget(buttons, 0, Qt::AlignTop);

    radios_[0]->setChecked(true);
    if (request.choice >= 0 && request.choice < 4)
        radios_[request.choice]->setChecked(true);
    increment_->hide();
    length_->hide();
    seconds_->hide();
    dialogs::CentreOnDesktop(*this);
}

void CEvntWizTimeDlg::Choose(int choice) {
    const QString zero = request_.eventsInFrames ? "0" : "00:00.00";
    switch (choice) {
    case 0:
    case 1:
        firstLabel_->setText(choice == 0 ? "Time to Add" : "Time to Subtract");
        incrementLabel_->setText("");
        first_->setText(zero);
        increment_->hide();
        length_->hide();
        skipZero_->show();
        seconds_->hide();
        break;
    case 2:
        length_->setText("");
        firstLabel_->setText("Start Time to Fill");
        incrementLabel_->setText("Filled Time Increments");
        first_->setText(zero);
        increment_->setText(zero);
        increment_->show();
        length_->hide();
        skipZero_->hide();
        seconds_->hide();
        break;
    default: {
        firstLabel_->setText("New Overall Length");
        incrementLabel_->setText("");
        increment_->hide();
        skipZero_->hide();
        length_->show();
        seconds_->show();
        if (request_.eventsInFrames) {
            const double rate = request_.document ? request_.document->GetFrameRate() : 30.0;
            const auto n = static_cast<unsigned long>(
                RoundHalfUp(EventTimeToFrames(request_.currentLength, rate)));
            length_->setText(QString("Sequence length is currently %1 frames ").arg(n));
            first_->setText(QString::number(n));
        } else {
            length_->setText("Sequence length is currently " + ToQString(request_.currentLength));
            first_->setText(ToQString(request_.currentLength));
        }
        break;
    }
    }
}

void CEvntWizTimeDlg::OnTips() {
    std::string text;
    for (const char* piece : kTips)
        text += piece;
    platform::Ui().MessageBox({text, "Event Wizard- Time Tips", platform::MsgButtons::Ok});
}

void CEvntWizTimeDlg::accept() {
    for (int i = 0; i < 4; ++i)
        if (radios_[i]->isChecked())
            request_.choice = i;
    request_.firstText = FromQString(first_->text());
    request_.incrementText = FromQString(increment_->text());
    request_.skipZero = skipZero_->isChecked();
    request_.wholeSeconds = seconds_->isChecked();
    QDialog::accept();
}

// ---- Resource List (176) ----

DCResource::DCResource(ResourceListRequest& request, QWidget* parent)
    : QDialog(parent), request_(request) {
    setWindowTitle("Resource List");
    std::vector<std::string> prefixes(std::begin(eventwizard::kPresetOrder),
                                      std::end(eventwizard::kPresetOrder));
    list_ = dialogs::Named(new PrefixTypeAheadList(prefixes, this), 404);
    comment_ = MakeLabel("Comment", 402, this);
    comment_->setWordWrap(true);
    comment_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    // Room for a short comment below the list, which gives up the height a longer one needs.
    comment_->setMinimumHeight(2 * comment_->fontMetrics().height());
    auto* grid = new QGridLayout(this);
    grid->addWidget(MakeLabel("Resources", 403, this), 0, 0);
    grid->addWidget(list_, 1, 0);
    grid->addWidget(StackedOkCancel(*this, "Ok"), 0, 1, 2, 1, Qt::AlignTop);
    grid->addWidget(comment_, 2, 0, 1, 2);
    grid->setRowStretch(1, 1);

    resize(340, 262);
    dialogs::CentreOnDesktop(*this);
    if (request.document) {
        const eventwizard::ResourceList resources =
            eventwizard::BuildResourceList(*request.document, request.name, request.eventName);
        list_->SetEntries(resources.entries);
        if (resources.highlighted >= 0)
            list_->setCurrentRow(resources.highlighted);
        if (resources.showComment)
            ShowComment();
    }
    connect(list_, &QListWidget::currentRowChanged, this, [this] { ShowComment(); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    if (request.initialChar >= 0)
        list_->ForwardChar(request.initialChar);
}

void DCResource::ShowComment() {
    const std::string comment =
        request_.document ? eventwizard::ResourceComment(*request_.document, list_->CurrentEntry())
                          : std::string();
    comment_->setText(ToQString(comment));
    const int height = eventwizard::ResourceDialogHeight(comment);
    resize(width(), height);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect desk = screen->availableGeometry();
        move(desk.left() + desk.width() / 2 - width() / 2, desk.top() + desk.height() / 2 - 150);
    }
}

void DCResource::accept() {
    const std::string entry = list_->CurrentEntry();
    // Nothing highlighted (an empty list) closes as Cancel.
    if (entry.empty()) {
        reject();
        return;
    }
    if (entry.size() > 7)
        request_.name = entry.substr(7);
    QDialog::accept();
}

// ---- Available events (148) ----

CAvailEventsListDlg::CAvailEventsListDlg(EventsListRequest& request, QWidget* parent)
    : QDialog(parent), request_(request) {
    setWindowTitle("Event Wizard - Available Events List");
    list_ = dialogs::Named(new PrefixTypeAheadList({std::string(eventwizard::kInternal),
                                                    std::string(eventwizard::kExternal),
                                                    std::string(eventwizard::kBoth)},
                                                   this),
                           249);
    protocol_ = MakeLabel("", 252, this);
    variations_ = dialogs::Named(new QPlainTextEdit(this), 325);
    variations_->setReadOnly(true);
    auto* grid = new QGridLayout(this);
    grid->addWidget(protocol_, 0, 0);
    grid->addWidget(list_, 1, 0);
    grid->addWidget(StackedOkCancel(*this, "Ok"), 0, 1, 2, 1, Qt::AlignTop);
    grid->addWidget(variations_, 2, 0, 1, 2);
    resize(460, 420);
    dialogs::CentreOnDesktop(*this);
    if (request.document && request.event) {
        events_ = eventwizard::BuildEventsList(*request.document, *request.event);
        protocol_->setText(ToQString(events_.label));
        list_->SetEntries(events_.entries);
        if (events_.highlighted >= 0)
            list_->setCurrentRow(events_.highlighted);
        ShowVariations();
    }
    connect(list_, &QListWidget::currentRowChanged, this, [this] { ShowVariations(); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    if (request.initialChar >= 0)
        list_->ForwardChar(request.initialChar);
}

void CAvailEventsListDlg::ShowVariations() {
    if (!request_.document)
        return;
    variations_->setPlainText(ToQString(
        eventwizard::VariationsText(*request_.document, events_.specific, list_->CurrentEntry())));
}

void CAvailEventsListDlg::accept() {
    const std::string entry = list_->CurrentEntry();
    // Nothing highlighted (an empty list) closes as Cancel.
    if (entry.empty()) {
        reject();
        return;
    }
    if (entry.size() > 5 && request_.event)
        request_.event->m_strEvent = entry.substr(5);
    QDialog::accept();
}

// ---- Data field help (165) ----

CEWDataDlg::CEWDataDlg(DataFieldRequest& request, QWidget* parent) : QDialog(parent) {
    setWindowTitle("Event Wizard - Data Field");
    eventwizard::DataHelp help;
    if (request.document && request.event)
        help = eventwizard::DataFieldHelp(*request.document, *request.event, request.parameter);
    auto* text = dialogs::Named(new QPlainTextEdit(ToQString(help.text), this), 323);
    text->setReadOnly(true);
    auto* ok = dialogs::MakeButton("OK", 1, this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* grid = new QGridLayout(this);
    grid->addWidget(MakeLabel(ToQString(help.label), 324, this), 0, 0);
    grid->addWidget(ok, 0, 1);
    grid->addWidget(text, 1, 0, 1, 2);
    resize(460, 300);
    dialogs::CentreOnParent(*this);
}

// ---- Remark Help (153) ----

CEvntWizRemDlg::CEvntWizRemDlg(RemarkRequest& request, QWidget* parent)
    : QDialog(parent), request_(request) {
    setWindowTitle("Remark Help");
    auto* layout = new QVBoxLayout;
    for (const char* line :
         {"Remarking an event comments it out.", "The compiler will not compile a remarked event,",
          "while the event itself is left intact", "in the sequence."})
        layout->addWidget(new QLabel(line, this));
    rem_ = dialogs::MakeRadio("REM this event", 255, this);
    keep_ = dialogs::MakeRadio("Do not REM this event", 256, this);
    layout->addWidget(rem_);
    layout->addWidget(keep_);
    (request.choice == 0 ? rem_ : keep_)->setChecked(request.choice >= 0);
    auto* top = new QHBoxLayout(this);
    top->addLayout(layout);
    top->addWidget(StackedOkCancel(*this), 0, Qt::AlignTop);
    dialogs::CentreOnDesktop(*this);
}

void CEvntWizRemDlg::accept() {
    request_.choice = rem_->isChecked() ? 0 : keep_->isChecked() ? 1 : -1;
    QDialog::accept();
}

void RegisterEventDialogs(platform::qt::ViewRegistry& registry) {
    registry.RegisterDialog<TimeWizardRequest>(
        [](TimeWizardRequest& r) { return CEvntWizTimeDlg(r).exec() == QDialog::Accepted; });
    registry.RegisterDialog<ResourceListRequest>(
        [](ResourceListRequest& r) { return DCResource(r).exec() == QDialog::Accepted; });
    registry.RegisterDialog<EventsListRequest>(
        [](EventsListRequest& r) { return CAvailEventsListDlg(r).exec() == QDialog::Accepted; });
    registry.RegisterDialog<DataFieldRequest>(
        [](DataFieldRequest& r) { return CEWDataDlg(r).exec() == QDialog::Accepted; });
    registry.RegisterDialog<RemarkRequest>(
        [](RemarkRequest& r) { return CEvntWizRemDlg(r).exec() == QDialog::Accepted; });
}
