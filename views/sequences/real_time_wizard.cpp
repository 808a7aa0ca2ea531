#include "views/sequences/real_time_wizard.h"

#include "app/command_ids.h"
#include "controls/dialogkit/dialog_kit.h"
#include "controls/toolbox/grid_list.h"
#include "link/live_commands.h"
#include "platform/paths.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/qt/tool_registry.h"
#include "platform/ui_services.h"
#include "script/vl_doc.h"
#include "views/common/sequence_dialogs.h"
#include "views/common/update_hints.h"
#include "views/sequences/cue_list.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <cstdlib>
#include <filesystem>
#include <memory>

using platform::qt::FromQString;
using platform::qt::ToQString;

namespace {

const QStringList kRowHeadings = {"Time", "Event", "Data1", "Data2", "Data3", "Data4", "Comment"};
const QStringList kKeyHeadings = {"Key", "Event", "Data1", "Data2", "Data3", "Data4", "Comment"};

bool Ask(const std::string& text) {
    return platform::Ui().MessageBox({text, platform::DefaultCaption(),
                                      platform::MsgButtons::OkCancel}) == platform::MsgResult::Ok;
}

void SetUpList(CYNGridList& list, const QStringList& headings) {
    for (int c = 0; c < headings.size(); ++c)
        list.InsertColumn(c, headings[c]);
    list.DistributeColumnWidths();
    list.EnableCellEditing(true);
}

// The last eight characters (minutes, seconds and frames of HH:MM:SS.FF).
QString LastEight(const QString& text) {
    return text.size() > 8 ? text.right(8) : text;
}

} // namespace

rtwiz::KeyTable LoadWizardKeyTable() {
    rtwiz::KeyTable table;
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    const char* path = std::getenv("PATH");
    const auto file = rtwiz::FindKeyTableFile(
        platform::InstallDirectory(), error ? std::filesystem::path() : current, path ? path : "");
    if (!file || !rtwiz::LoadKeyTable(*file, table))
        platform::Ui().MessageBox(
            {kNoKeyTable, platform::DefaultCaption(), platform::MsgButtons::Ok});
    return table;
}

// ---- DCRTWizKeyAssign ----

DCRTWizKeyAssign::DCRTWizKeyAssign(QWidget* parent)
    : QDialog(parent), list_(dialogs::Named(new CYNGridList(this), 1000)) {
    setWindowTitle(tr("Real Time Wizard Key Assignments"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(new QLabel(
        tr("Edit RTWIZ.CFG to change key assignments. Click on a column to sort."), this));
    QPushButton* close = dialogs::MakeButton(tr("Close"), 2, this);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(close, 0, Qt::AlignRight);
    list_->setMinimumSize(600, 300);
    SetUpList(*list_, kKeyHeadings);
    list_->EnableSorting(true);
    const rtwiz::KeyTable keys = LoadWizardKeyTable();
    // One row for each character code 33 to 128, with its plain assignment. Nothing edited here
    // is kept.
    for (int code = 33; code <= 128; ++code) {
        const rtwiz::KeyAssignment& key = keys.At(code);
        const int row = list_->InsertItem(list_->GetItemCount(),
                                          ToQString(std::string(1, static_cast<char>(code))));
        list_->SetItemText(row, 1, ToQString(key.event));
        for (int d = 0; d < 4; ++d)
            list_->SetItemText(row, 2 + d, ToQString(key.data[static_cast<std::size_t>(d)]));
        list_->SetItemText(row, 6, ToQString(key.comment));
    }
    dialogs::CentreOnParent(*this);
}

// ---- CDRTWiz ----

CDRTWiz::CDRTWiz(CVLDoc& doc, QWidget* parent)
    : ClockDialog(doc, {445, 444, 436, 435, 434, 446}, parent),
      list_(dialogs::Named(new CYNGridList(this), 1000)),
      sendEvents_(dialogs::MakeCheck(tr("Send Events"), 450, this)) {
    keys_ = LoadWizardKeyTable();
    setWindowTitle(ToQString("RTWiz for " + doc.GetScriptName()));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    AddClockControls(*grid, 0);
    sendEvents_->setChecked(true);
    grid->addWidget(sendEvents_, 3, 1);
    QPushButton* viewCfg = dialogs::MakeButton(tr("View CFG"), 451, this);
    QPushButton* clearAll = dialogs::MakeButton(tr("Clear All"), 452, this);
    QPushButton* close = dialogs::MakeButton(tr("Close"), 2, this);
    for (QPushButton* button : {viewCfg, clearAll, close})
        button->setAutoDefault(false);
    grid->addWidget(viewCfg, 0, 3);
    grid->addWidget(clearAll, 1, 3);
    grid->addWidget(close, 2, 3);
    connect(viewCfg, &QPushButton::clicked, this, [this] { OnViewCfg(); });
    connect(clearAll, &QPushButton::clicked, this, [this] { OnClearAll(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(sendEvents_, &QCheckBox::clicked, this, [this] { FocusList(); });
    SetHelp(list_, tr("Press the keys of rtwiz.cfg here: each records its event at the clock's "
                      "time."));
    SetHelp(sendEvents_, tr("Sends each recorded event to the controller at once."));
    SetHelp(viewCfg, tr("Lists the key assignments of rtwiz.cfg."));
    SetHelp(clearAll, tr("Deletes every recorded row."));
    SetHelp(close, tr("Closes the wizard, offering to keep the rows as RTWizSequence."));

    OpenLink();
    SetUpList(*list_, kRowHeadings);
    list_->SetShowSelectionAlways(true);
    connect(list_, &CYNGridList::KeyDown, this,
            [this](int vk, int character) { OnListKeyDown(vk, character); });
    list_->setMinimumSize(640, 240);
    dialogs::CentreOnParent(*this);
}

void CDRTWiz::showEvent(QShowEvent* event) {
    ClockDialog::showEvent(event);
    // The widths are shared over the list's width once the layout has given it one.
    layout()->activate();
    list_->DistributeColumnWidths();
    FocusList();
}

void DCRTWizKeyAssign::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    layout()->activate();
    list_->DistributeColumnWidths();
}

void CDRTWiz::FocusList() {
    list_->setFocus(Qt::OtherFocusReason);
}

void CDRTWiz::OnListKeyDown(int, int character) {
    // Only keys with a 7-bit printing character record: Enter, Escape and Tab belong to the
    // dialog, and modifiers, arrows and function keys have no character.
    if (character < 0x20 || character >= 128)
        return;
    const rtwiz::KeyAssignment& key = keys_.At(character);
    const int row = list_->InsertItem(list_->GetItemCount(), LastEight(CurrentTimeEdit()->text()));
    list_->SetItemText(row, 1, ToQString(key.event));
    for (int d = 0; d < 4; ++d)
        list_->SetItemText(row, 2 + d, ToQString(key.data[static_cast<std::size_t>(d)]));
    list_->SetItemText(row, 6, ToQString(key.comment));
    list_->MarkItemSelected(-1, false);
    list_->MarkItemSelected(row, true);
    list_->ScrollItemIntoView(row, 0, false);
    ++rows_;
    if (sendEvents_->isChecked()) {
        CSeq dummy("dummy", 1);
        CEvnt event;
        event.m_strTime = "00:00.00";
        event.m_strEvent = key.event;
        event.m_strData1 = key.data[0];
        event.m_strData2 = key.data[1];
        event.m_strData3 = key.data[2];
        event.m_strData4 = key.data[3];
        showlink::SendEventNow(Document(), Link(), dummy, event);
    }
}

void CDRTWiz::OnClearAll() {
    if (rows_ > 0 && Ask("Clear all events you've entered?")) {
        platform::WaitCursor wait;
        list_->DeleteAllItems();
        rows_ = 0;
    }
    FocusList();
}

void CDRTWiz::OnViewCfg() {
    DCRTWizKeyAssign dialog(this);
    dialog.exec();
    FocusList();
}

void CDRTWiz::CreateRTWizSequence() {
    platform::WaitCursor wait;
    CVLDoc& doc = Document();
    CSeq* seq = nullptr;
    try {
        auto created = std::make_unique<CSeq>("RTWizSequence", 1);
        created->m_strDescription = "Generated by the Real Time Wizard";
        seq = created.get();
        doc.m_poSeqList.push_back(std::move(created));
    } catch (const std::bad_alloc&) {
        platform::ShowMessage("Not enough memory to allocate Sequence ( *pSeq ).  Aborting File "
                              "Construction...");
        return;
    }
    RefreshSequenceViews(doc);
    const auto cut = [](const QString& text) { return FromQString(text.left(200)); };
    for (int row = 0; row < list_->GetItemCount(); ++row) {
        try {
            auto event = std::make_unique<CEvnt>();
            event->m_strLabel.clear();
            event->m_strTime = cut(LastEight(list_->GetItemText(row, 0)));
            event->m_strEvent = cut(list_->GetItemText(row, 1));
            event->m_strData1 = cut(list_->GetItemText(row, 2));
            event->m_strData2 = cut(list_->GetItemText(row, 3));
            event->m_strData3 = cut(list_->GetItemText(row, 4));
            event->m_strData4 = cut(list_->GetItemText(row, 5));
            event->m_strComment = cut(list_->GetItemText(row, 6));
            seq->m_poEventList.push_back(std::move(event));
        } catch (const std::bad_alloc&) {
            platform::ShowMessage("Not enough memory to allocate Event ( *pEvent ).  Aborting "
                                  "File Construction...");
        }
    }
    doc.SetModifiedFlag();
    seq->m_nNeedsCompile = 1;
    hints::SendRepaint(doc);
}

void CDRTWiz::reject() {
    if (closing_)
        return;
    closing_ = true;
    if (rows_ > 0 && Ask("Create RTWizSequence with events you've entered?"))
        CreateRTWizSequence();
    ClockDialog::reject();
    closing_ = false;
}

void CDRTWiz::closeEvent(QCloseEvent* event) {
    reject();
    event->accept();
}

void RegisterSequenceTools(platform::qt::ToolRegistry& tools) {
    tools.Register<CVLDoc>(vl_ids::kRealTimeWizard, [](CVLDoc& doc, QWidget* parent) {
        CDRTWiz dialog(doc, parent);
        dialog.exec();
    });
    tools.Register<CVLDoc>(vl_ids::kCueList, [](CVLDoc& doc, QWidget* parent) {
        CDCueList dialog(doc, parent);
        dialog.exec();
    });
}
