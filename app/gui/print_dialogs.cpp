#include "app/gui/print_dialogs.h"

#include "controls/dialogkit/data_exchange.h"
#include "controls/dialogkit/dialog_kit.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace printing {

DCPrintGridDlg::DCPrintGridDlg(QWidget* parent) : ExchangeDialog(parent) {
    placement = dialogs::CentreOnParent;
    cancelled = kCancel;
    setWindowTitle(QStringLiteral("Print Grid"));
    // Left alone it would show the icon of the table's window, its parent.
    if (!QApplication::windowIcon().isNull())
        setWindowIcon(QApplication::windowIcon());
    auto* layout = new QHBoxLayout(this);
    QPushButton* grid = dialogs::MakeButton(QStringLiteral("Print Grid"), 1, this);
    QPushButton* selection = dialogs::MakeButton(QStringLiteral("Print Selection"), 410, this);
    QPushButton* cancel = dialogs::MakeButton(QStringLiteral("Cancel"), 2, this);
    grid->setDefault(true);
    for (QPushButton* button : {grid, selection, cancel})
        layout->addWidget(button);
    connect(grid, &QPushButton::clicked, this, [this] { done(kPrintGrid); });
    connect(selection, &QPushButton::clicked, this, [this] { done(kPrintSelection); });
    connect(cancel, &QPushButton::clicked, this, [this] { done(kCancel); });
}

std::uint32_t PrintSelectionMemory::SectionMask() const {
    std::uint32_t mask = 0;
    for (std::size_t i = 0; i < checked.size(); ++i)
        if (checked[i])
            mask |= 1u << i;
    return mask;
}

CPrintSelectionDlg::CPrintSelectionDlg(PrintSelectionMemory& memory, QWidget* parent)
    : ExchangeDialog(parent), memory_(memory) {
    placement = dialogs::CentreOnParent;
    cancelled = kCancel;
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("Items to Print:"), this));
    struct Box {
        const char* text;
        int id;
    };
    const Box kBoxes[] = {{"Unit Settings", 401}, {"Inputs", 387},    {"Outputs", 388},
                          {"Flags", 389},         {"Variables", 390}, {"Ports", 399},
                          {"LCD Strings", 391},   {"Strings", 392},   {"Sequences", 398}};
    auto* grid = new QGridLayout;
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        boxes_[i] = dialogs::MakeCheck(QString::fromLatin1(kBoxes[i].text), kBoxes[i].id, this);
        grid->addWidget(boxes_[i], int(i % 5), int(i / 5));
    }
    left->addLayout(grid);
    auto* range = new QGroupBox(QStringLiteral("Print Events inThese Sequences:"), this);
    auto* rangeLayout = new QHBoxLayout(range);
    from_ = dialogs::Named(new QLineEdit(range), 393);
    to_ = dialogs::Named(new QLineEdit(range), 395);
    rangeLayout->addWidget(new QLabel(QStringLiteral("From"), range));
    rangeLayout->addWidget(from_);
    rangeLayout->addWidget(new QLabel(QStringLiteral("To"), range));
    rangeLayout->addWidget(to_);
    left->addWidget(range);
    layout->addLayout(left);

    auto* buttons = new QVBoxLayout;
    print_ = dialogs::MakeButton(QString(), 1, this);
    printAll_ = dialogs::MakeButton(QString(), 3, this);
    QPushButton* cancel = dialogs::MakeButton(QStringLiteral("Cancel"), 2, this);
    print_->setDefault(true);
    for (QPushButton* button : {print_, printAll_, cancel})
        buttons->addWidget(button);
    buttons->addStretch();
    layout->addLayout(buttons);

    connect(boxes_[8], &QCheckBox::clicked, this, [this] {
        if (Save())
            EnableRange();
    });
    // Print reads the choices; OK's id is kPrint.
    connect(print_, &QPushButton::clicked, this, &QDialog::accept);
    connect(printAll_, &QPushButton::clicked, this, [this] { done(kPrintAll); });
    connect(cancel, &QPushButton::clicked, this, [this] { done(kCancel); });
}

void CPrintSelectionDlg::OnValuesShown() {
    setWindowTitle(preview_ ? QStringLiteral("Select Items to Print Preview")
                            : QStringLiteral("Select Items to Print"));
    print_->setText(preview_ ? QStringLiteral("Preview") : QStringLiteral("Print"));
    printAll_->setText(preview_ ? QStringLiteral("Preview All") : QStringLiteral("Print All"));
    EnableRange();
}

void CPrintSelectionDlg::DoDataExchange(dialogs::DataExchange& dx) {
    // The range first: a range that is no number keeps the boxes' memory as it was.
    dx.Integer(from_, memory_.fromSequence);
    dx.Integer(to_, memory_.toSequence);
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        dx.Check(boxes_[i], memory_.checked[i]);
}

bool CPrintSelectionDlg::Save() {
    dialogs::DataExchange read = dialogs::DataExchange::Reading();
    DoDataExchange(read);
    return !read.Failed();
}

void CPrintSelectionDlg::EnableRange() {
    const bool on = boxes_[8]->isChecked();
    from_->setEnabled(on);
    to_->setEnabled(on);
}

} // namespace printing
