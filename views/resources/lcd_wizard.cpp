#include "views/resources/lcd_wizard.h"

#include "controls/dialogkit/dialog_kit.h"
#include "platform/one_line_text.h"
#include "platform/qt/qt_ui_services.h"
#include "views/common/limit_edit.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

using platform::qt::FromQString;
using platform::qt::ToQString;

CLcdWizardDlg::CLcdWizardDlg(int width, const char* title, const char* instruction, QWidget* parent)
    : QDialog(parent), width_(width) {
    setWindowTitle(QString::fromLatin1(title));
    auto* grid = new QGridLayout(this);
    auto* text = new QLabel(QString::fromLatin1(instruction), this);
    text->setWordWrap(true);
    grid->addWidget(text, 0, 0, 1, 2);
    box1_ = dialogs::MakeCheck(QString(), 281, this);
    box2_ = dialogs::MakeCheck(QString(), 282, this);
    line1_ = dialogs::Named(new CLimitEdit(this), 258);
    line2_ = dialogs::Named(new CLimitEdit(this), 259);
    for (CLimitEdit* line : {line1_, line2_}) {
        line->SetLimit(width);
        // Room for a full line of the display in the dialog's font.
        line->setMinimumWidth(line->fontMetrics().horizontalAdvance(QString(width, u'W')) / 2 +
                              line->fontMetrics().horizontalAdvance(QString(width, u'0')) / 2 + 12);
    }
    grid->addWidget(box1_, 1, 0);
    grid->addWidget(line1_, 1, 1);
    grid->addWidget(box2_, 2, 0);
    grid->addWidget(line2_, 2, 1);
    grid->addWidget(
        new QLabel(QStringLiteral("Click on the Check Boxes to Force the line blank"), this), 3, 0,
        1, 2);
    grid->addWidget(dialogs::OkCancel(*this), 4, 0, 1, 2);

    // Text in a line means it is not forced blank; forcing it blank empties it.
    connect(line1_, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (!t.isEmpty())
            box1_->setChecked(false);
    });
    connect(line2_, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (!t.isEmpty())
            box2_->setChecked(false);
    });
    connect(box1_, &QCheckBox::clicked, this, [this](bool on) {
        if (on)
            line1_->clear();
    });
    connect(box2_, &QCheckBox::clicked, this, [this](bool on) {
        if (on)
            line2_->clear();
    });
}

void CLcdWizardDlg::OnInitDialog() {
    box1_->setChecked(m_nForceBlank1 != 0);
    box2_->setChecked(m_nForceBlank2 != 0);
    dialogs::CentreOnDesktop(*this);
    line1_->setText(ToQString(m_strLine1));
    line2_->setText(ToQString(m_strLine2));
    line1_->setFocus();
}

void CLcdWizardDlg::accept() {
    // Each line is taken whole: a longer hand-written line goes back as it was.
    m_strLine1 = platform::OneLineText(FromQString(line1_->text()));
    m_strLine2 = platform::OneLineText(FromQString(line2_->text()));
    m_nForceBlank1 = box1_->isChecked() ? 1 : 0;
    m_nForceBlank2 = box2_->isChecked() ? 1 : 0;
    QDialog::accept();
}

CLargeLcdDlg::CLargeLcdDlg(QWidget* parent)
    : CLcdWizardDlg(40, "LCD Wizard- Large LCD Display",
                    "Enter up to 40 characters per line, with no special characters in any line.",
                    parent) {}

CSmallLcdDlg::CSmallLcdDlg(QWidget* parent)
    : CLcdWizardDlg(16, "LCD Wizard- Small LCD Display",
                    "Enter up to 16 characters per line, with no special characters in any line.",
                    parent) {}
