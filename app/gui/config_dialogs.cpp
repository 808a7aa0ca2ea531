#include "app/gui/config_dialogs.h"

#include "controls/dialogkit/data_exchange.h"
#include "controls/dialogkit/dialog_kit.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/ui_services.h"
#include "script/dialog_requests.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

using platform::qt::FromQString;
using platform::qt::ToQString;

namespace config {

namespace {

// The names as a sorted list shows them: without regard to case, equal ones in the given order.
QStringList SortedNoCase(const std::vector<std::string>& names) {
    QStringList list;
    for (const std::string& name : names)
        list << ToQString(name);
    std::stable_sort(list.begin(), list.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return list;
}

// The list's own prefix search: the first entry that begins with the text, in any case.
int FindPrefix(const QStringList& entries, const QString& text) {
    for (int i = 0; i < int(entries.size()); ++i)
        if (entries[i].startsWith(text, Qt::CaseInsensitive))
            return i;
    return -1;
}

QStringList ComboEntries(const QComboBox& combo) {
    QStringList entries;
    for (int i = 0; i < combo.count(); ++i)
        entries << combo.itemText(i);
    return entries;
}

} // namespace

// ---- "File New" ----

CNewScriptDialog::CNewScriptDialog(CNewScriptDlg& request, QWidget* parent)
    : DataExchangeDialog(parent), request_(request) {
    placement = dialogs::CentreOnDesktop;
    setWindowTitle(QStringLiteral("Create Script for what product?"));
    products_ = dialogs::Named(new QComboBox(this), 254);
    products_->setMinimumContentsLength(20);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(products_);
    layout->addWidget(dialogs::OkCancel(*this));
}

void CNewScriptDialog::DoDataExchange(dialogs::DataExchange& dx) {
    if (dx.IsReading()) {
        request_.product = FromQString(products_->currentText());
        return;
    }
    products_->clear();
    products_->addItems(SortedNoCase(request_.products));
    // Without a Harnel16 the first product is offered.
    const int harnel = FindPrefix(ComboEntries(*products_), QStringLiteral("Harnel16"));
    products_->setCurrentIndex(harnel >= 0 ? harnel : (products_->count() > 0 ? 0 : -1));
}

void CNewScriptDialog::accept() {
    // With no product there is nothing to make a script for: OK acts as Cancel.
    if (products_->currentIndex() < 0) {
        reject();
        return;
    }
    DataExchangeDialog::accept();
}

bool RunNewScriptDialog(CNewScriptDlg& request, QWidget* parent) {
    CNewScriptDialog dialog(request, parent);
    return dialog.Run() == QDialog::Accepted;
}

// ---- "Configure Unit" ----

CCfgUnitDialog::CCfgUnitDialog(CCfgUnitDlg& request, QWidget* parent)
    : DataExchangeDialog(parent), request_(request) {
    placement = dialogs::CentreOnDesktop;
    setWindowTitle(QStringLiteral("Configure Unit"));
    unitTypes_ = dialogs::Named(new QListWidget(this), 161);
    frameRate_ = dialogs::Named(new QComboBox(this), 121);
    frameRate_->addItems({QStringLiteral("24 FPS"), QStringLiteral("25 FPS"),
                          QStringLiteral("29.97 FPS"), QStringLiteral("30 FPS")});
    address_ = dialogs::Named(new QLineEdit(this), 122);

    auto* clock = new QGroupBox(QStringLiteral("Clock Timing Source"), this);
    processor_ = dialogs::MakeRadio(QStringLiteral("Processor"), 125, clock);
    external_ = dialogs::MakeRadio(QStringLiteral("External"), 126, clock);
    frequency_ = dialogs::Named(new QComboBox(clock), 232);
    frequency_->setEditable(true);
    frequency_->setInsertPolicy(QComboBox::NoInsert);
    frequency_->addItems({QStringLiteral("0"), QStringLiteral("24.0"), QStringLiteral("25.0"),
                          QStringLiteral("29.97"), QStringLiteral("30.0"), QStringLiteral("48.0"),
                          QStringLiteral("50.0"), QStringLiteral("59.94"), QStringLiteral("60.0")});
    frequencyLabel_ = dialogs::Named(new QLabel(QStringLiteral("External Frequency"), clock), 233);
    hzLabel_ = dialogs::Named(new QLabel(QStringLiteral("Hz"), clock), 234);
    auto* clockGrid = new QGridLayout(clock);
    clockGrid->addWidget(processor_, 0, 0);
    clockGrid->addWidget(external_, 1, 0);
    clockGrid->addWidget(frequencyLabel_, 2, 0);
    clockGrid->addWidget(frequency_, 2, 1);
    clockGrid->addWidget(hzLabel_, 2, 2);
    connect(processor_, &QRadioButton::clicked, this, [this] { EnableFrequency(false); });
    connect(external_, &QRadioButton::clicked, this, [this] { EnableFrequency(true); });

    const auto take = [this] {
        if (QListWidgetItem* item = unitTypes_->currentItem())
            selectedProduct_ = FromQString(item->text());
    };
    connect(unitTypes_, &QListWidget::currentRowChanged, this, take);
    connect(unitTypes_, &QListWidget::itemDoubleClicked, this, take);

    auto* form = new QGridLayout;
    form->addWidget(new QLabel(QStringLiteral("Unit Type"), this), 0, 0);
    form->addWidget(unitTypes_, 1, 0, 4, 1);
    form->addWidget(new QLabel(QStringLiteral("Frame Rate"), this), 0, 1);
    form->addWidget(frameRate_, 1, 1);
    form->addWidget(new QLabel(QStringLiteral("Unit Address"), this), 2, 1);
    form->addWidget(address_, 3, 1);
    form->addWidget(clock, 4, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(dialogs::OkCancel(*this));
}

void CCfgUnitDialog::EnableFrequency(bool on) {
    frequency_->setEnabled(on);
    frequencyLabel_->setEnabled(on);
    hzLabel_->setEnabled(on);
}

void CCfgUnitDialog::DoDataExchange(dialogs::DataExchange& dx) {
    int frameRate = request_.frameRate;
    int address = request_.address;
    int clockSource = request_.clockSource;
    std::string frequency = request_.externalFrequency;
    if (dx.IsReading()) {
        frameRate = frameRate_->currentIndex();
    } else {
        ShowUnitTypes();
        frameRate_->setCurrentIndex(frameRate < frameRate_->count() ? frameRate : -1);
    }
    dx.Integer(address_, address, 0, 255);
    dx.Radio({processor_, external_}, clockSource);
    // The frequency counts only with an external clock; then the compiler must take it.
    if (dx.IsReading() && clockSource == 1)
        dx.NumberText(frequency_->lineEdit(), frequency, 0.0, kMaxExternalFrequency);
    else if (dx.IsReading())
        frequency = FromQString(frequency_->currentText());
    if (!dx.IsReading()) {
        const int entry = FindPrefix(ComboEntries(*frequency_), ToQString(frequency));
        if (entry >= 0)
            frequency_->setCurrentIndex(entry);
        else
            frequency_->setEditText(ToQString(frequency));
    }
    if (dx.Failed() || !dx.IsReading())
        return;
    request_.frameRate = std::uint16_t(std::max(frameRate, 0));
    request_.address = std::uint16_t(address);
    request_.clockSource = std::uint16_t(clockSource);
    request_.externalFrequency = frequency;
    request_.product = selectedProduct_;
}

void CCfgUnitDialog::ShowUnitTypes() {
    openingProduct_ = request_.product;
    selectedProduct_ = request_.product;
    const QStringList names = SortedNoCase(request_.products);
    {
        QSignalBlocker quiet(unitTypes_);
        unitTypes_->clear();
        unitTypes_->addItems(names);
    }
    const int current = FindPrefix(names, ToQString(request_.product));
    if (current >= 0)
        unitTypes_->setCurrentRow(current);
}

void CCfgUnitDialog::OnValuesShown() {
    EnableFrequency(request_.clockSource == 1);
}

void CCfgUnitDialog::accept() {
    if (selectedProduct_ != openingProduct_) {
        platform::MessageBoxRequest box;
        box.text = kUnitTypeQuestion;
        box.caption = "Configure Unit";
        box.buttons = platform::MsgButtons::YesNo;
        box.icon = platform::MsgIcon::Question;
        if (platform::Ui().MessageBox(box) != platform::MsgResult::Yes)
            return;
    }
    DataExchangeDialog::accept();
}

bool RunCfgUnitDialog(CCfgUnitDlg& request, QWidget* parent) {
    CCfgUnitDialog dialog(request, parent);
    return dialog.Run() == QDialog::Accepted;
}

// ---- "Configure Script" ----

CCfgScriptDialog::CCfgScriptDialog(CCfgScriptDlg& request, QWidget* parent)
    : DataExchangeDialog(parent), request_(request) {
    placement = dialogs::CentreOnDesktop;
    setWindowTitle(QStringLiteral("Configure Script"));
    description_ = dialogs::Named(new QPlainTextEdit(this), 111);
    description_->setTabChangesFocus(true);
    version_ = dialogs::Named(new QLineEdit(this), 112);
    for (int i = 0; i < 3; ++i)
        authors_[i] = dialogs::Named(new QLineEdit(this), 113 + i);
    writeProtected_ = dialogs::MakeCheck(QStringLiteral("Script Write Protected"), 118, this);
    writeProtected_->setEnabled(false);
    writeHeaders_ = dialogs::MakeCheck(QStringLiteral("Write Comment Blocks above"), 221, this);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Description"), this), 0, 0, Qt::AlignTop);
    grid->addWidget(description_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Version"), this), 1, 0);
    grid->addWidget(version_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Author(s)"), this), 2, 0);
    for (int i = 0; i < 3; ++i)
        grid->addWidget(authors_[i], 2 + i, 1);
    grid->addWidget(writeProtected_, 5, 1);
    auto* headers = new QHBoxLayout;
    headers->addWidget(writeHeaders_);
    headers->addWidget(new QLabel(QStringLiteral("Sequences in KSF files"), this));
    headers->addStretch();
    grid->addLayout(headers, 6, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(dialogs::OkCancel(*this));
    resize(460, 0);
}

void CCfgScriptDialog::DoDataExchange(dialogs::DataExchange& dx) {
    CCfgScriptDlg values = request_;
    bool writeProtected = values.writeProtected != 0;
    bool writeHeaders = values.writeHeaders != 0;
    dx.Text(description_, values.description, CCfgScriptDlg::kMaxDescription);
    dx.Text(version_, values.version, CCfgScriptDlg::kMaxText);
    dx.Text(authors_[0], values.author1, CCfgScriptDlg::kMaxText);
    dx.Text(authors_[1], values.author2, CCfgScriptDlg::kMaxText);
    dx.Text(authors_[2], values.author3, CCfgScriptDlg::kMaxText);
    if (!dx.IsReading())
        writeProtected_->setChecked(writeProtected);
    dx.Check(writeHeaders_, writeHeaders);
    if (dx.Failed() || !dx.IsReading())
        return;
    values.writeHeaders = writeHeaders ? 1 : 0;
    request_ = values;
}

void CCfgScriptDialog::OnValuesShown() {
    dialogs::LimitLength(*description_, int(CCfgScriptDlg::kMaxDescription));
    dialogs::LimitLength(*version_, int(CCfgScriptDlg::kMaxText));
    for (QLineEdit* author : authors_)
        dialogs::LimitLength(*author, int(CCfgScriptDlg::kMaxText));
}

bool RunCfgScriptDialog(CCfgScriptDlg& request, QWidget* parent) {
    CCfgScriptDialog dialog(request, parent);
    return dialog.Run() == QDialog::Accepted;
}

// ---- Script Wizard ----

CScriptGenDialog::CScriptGenDialog(CScriptGenDlg& request, QWidget* parent)
    : DataExchangeDialog(parent), request_(request) {
    placement = dialogs::CentreOnParent;
    setWindowTitle(QStringLiteral("Script Wizard"));
    auto* intro = new QLabel(QString::fromLatin1(CScriptGenDlg::kIntroText), this);
    intro->setWordWrap(true);
    showName_ = dialogs::Named(new QLineEdit(this), 224);
    author_ = dialogs::Named(new QLineEdit(this), 225);
    players_ = dialogs::Named(new QLineEdit(this), 228);

    auto* sync = new QGroupBox(QStringLiteral("Show Synchronization"), this);
    internal_ = dialogs::MakeRadio(QStringLiteral("Internal ( Processor )"), 125, sync);
    external_ = dialogs::MakeRadio(QStringLiteral("External ( PLNs or Sync Gen )"), 126, sync);
    auto* syncColumn = new QVBoxLayout(sync);
    syncColumn->addWidget(internal_);
    syncColumn->addWidget(external_);
    auto* product = new QGroupBox(QStringLiteral("Product Type"), this);
    harnel16_ = dialogs::MakeRadio(QStringLiteral("Harnel16"), 229, product);
    harnel4_ = dialogs::MakeRadio(QStringLiteral("Harnel4"), 230, product);
    auto* productColumn = new QVBoxLayout(product);
    productColumn->addWidget(harnel16_);
    productColumn->addWidget(harnel4_);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Show Name"), this), 0, 0);
    grid->addWidget(showName_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Your Name"), this), 1, 0);
    grid->addWidget(author_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Number of Video Players"), this), 2, 0);
    grid->addWidget(players_, 2, 1);
    auto* groups = new QHBoxLayout;
    groups->addWidget(sync);
    groups->addWidget(product);

    QDialogButtonBox* buttons = dialogs::OkCancel(*this);
    QPushButton* create = buttons->button(QDialogButtonBox::Ok);
    create->setText(QStringLiteral("Create"));
    create->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(grid);
    layout->addLayout(groups);
    layout->addWidget(buttons);
    resize(480, 0);
}

void CScriptGenDialog::DoDataExchange(dialogs::DataExchange& dx) {
    CScriptGenDlg values = request_;
    dx.Text(showName_, values.showName, std::size_t(CScriptGenDlg::kMaxShowName));
    dx.Text(author_, values.author);
    dx.Integer(players_, values.players, CScriptGenDlg::kMinPlayers, CScriptGenDlg::kMaxPlayers);
    dx.Radio({internal_, external_}, values.synchronisation);
    dx.Radio({harnel16_, harnel4_}, values.product);
    if (!dx.Failed() && dx.IsReading())
        request_ = values;
}

void CScriptGenDialog::OnValuesShown() {
    dialogs::LimitLength(*showName_, CScriptGenDlg::kMaxShowName);
}

bool RunScriptGenDialog(CScriptGenDlg& request, QWidget* parent) {
    CScriptGenDialog dialog(request, parent);
    return dialog.Run() == QDialog::Accepted;
}

} // namespace config
