#include "views/common/smpte_start_dlg.h"

#include "controls/dialogkit/data_exchange.h"
#include "controls/dialogkit/dialog_kit.h"
#include "platform/qt/qt_ui_services.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kEditIds[8] = {184, 185, 186, 187, 188, 189, 190, 196};
constexpr int kLabelIds[2][5] = {{191, 192, 193, 194, 195}, {199, 200, 201, 202, 203}};
const char* const kLabelTexts[5] = {"Start Time", "H", "M", "S", "F"};

} // namespace

CSmpteStartDlg::CSmpteStartDlg(TimecodeStart& values, QWidget* parent)
    : ExchangeDialog(parent), values_(values) {
    placement = dialogs::CentreOnDesktop;
    setObjectName(QStringLiteral("dlg_163"));
    auto* layout = new QVBoxLayout(this);
    triggerOn_ = dialogs::MakeCheck(QStringLiteral("Trigger to Start Sequence"), 182, this);
    chaseOn_ = dialogs::MakeCheck(QStringLiteral("Chase Timecode"), 471, this);
    const QString groupTexts[2] = {QStringLiteral("Timecode Trigger"),
                                   QStringLiteral("Timcode Chase")};
    const int groupIds[2] = {480, 477};
    const int spinnerIds[2] = {197, 198};
    for (int g = 0; g < 2; ++g) {
        layout->addWidget(g == 0 ? triggerOn_ : chaseOn_);
        groups_[g] = dialogs::Named(new QGroupBox(groupTexts[g], this), groupIds[g]);
        auto* grid = new QGridLayout(groups_[g]);
        for (int l = 0; l < 5; ++l)
            labels_[g][l] = dialogs::Named(
                new QLabel(QString::fromLatin1(kLabelTexts[l]), groups_[g]), kLabelIds[g][l]);
        grid->addWidget(labels_[g][0], 1, 0);
        for (int f = 0; f < 4; ++f) {
            QLineEdit*& edit = edits_[g * 4 + f];
            edit = dialogs::Named(new QLineEdit(groups_[g]), kEditIds[g * 4 + f]);
            edit->setMaximumWidth(40);
            edit->installEventFilter(this);
            grid->addWidget(labels_[g][f + 1], 0, f + 1, Qt::AlignHCenter);
            grid->addWidget(edit, 1, f + 1);
            connect(edit, &QLineEdit::textEdited, this,
                    [this, field = g * 4 + f] { OnEdited(field); });
        }
        spinners_[g] = dialogs::Named(new QScrollBar(Qt::Vertical, groups_[g]), spinnerIds[g]);
        spinners_[g]->setFocusPolicy(Qt::NoFocus);
        spinners_[g]->setTracking(false); // a dragged thumb sets the field when let go
        spinners_[g]->setFixedHeight(spinners_[g]->sizeHint().width() * 2);
        grid->addWidget(spinners_[g], 1, 5);
        connect(spinners_[g], &QScrollBar::actionTriggered, this,
                [this, g](int action) { OnSpinner(g, action); });
        layout->addWidget(groups_[g]);
    }
    resetMode_ = dialogs::MakeRadio(QStringLiteral("Reset Mode"), 478, groups_[1]);
    jamMode_ = dialogs::MakeRadio(QStringLiteral("Jam Sync Mode"), 479, groups_[1]);
    auto* chaseGrid = static_cast<QGridLayout*>(groups_[1]->layout());
    chaseGrid->addWidget(resetMode_, 2, 0, 1, 3);
    chaseGrid->addWidget(jamMode_, 2, 3, 1, 3);
    layout->addWidget(dialogs::OkCancel(*this));
    connect(triggerOn_, &QCheckBox::clicked, this, [this](bool on) {
        ApplyEnabling();
        if (on)
            SetFocusField(3);
    });
    connect(chaseOn_, &QCheckBox::clicked, this, [this](bool on) {
        ApplyEnabling();
        if (on)
            SetFocusField(7);
    });
}

int CSmpteStartDlg::LastFrame(int frameRateCode) {
    switch (frameRateCode) {
    case 0:
        return 23;
    case 1:
        return 24;
    default:
        return 29;
    }
}

void CSmpteStartDlg::Normalise(std::array<int, 4>& t, int lastFrame) {
    int& h = t[0];
    int& m = t[1];
    int& s = t[2];
    int& f = t[3];
    if (f > lastFrame) {
        if (s < 59) {
            f = 0;
            ++s;
        } else if (m < 59) {
            f = s = 0;
            ++m;
        } else if (h < 23) {
            f = s = m = 0;
            ++h;
        } else {
            f = lastFrame;
        }
    }
    if (s > 59) {
        if (m < 59) {
            s = 0;
            ++m;
        } else if (h < 23) {
            s = m = 0;
            ++h;
        } else {
            s = 59;
        }
    }
    if (m > 59) {
        if (h < 23) {
            m = 0;
            ++h;
        } else {
            m = 59;
        }
    }
    if (h > 23)
        h = 23;
    if (f < 0) {
        if (s > 0) {
            f = lastFrame;
            --s;
        } else if (m > 0) {
            s = 59;
            f = lastFrame;
            --m;
        } else if (h > 0) {
            m = s = 59;
            f = lastFrame;
            --h;
        } else {
            f = 0;
        }
    }
    if (s < 0) {
        if (m > 0) {
            s = 59;
            --m;
        } else if (h > 0) {
            m = s = 59;
            --h;
        } else {
            s = 0;
        }
    }
    if (m < 0) {
        if (h > 0) {
            m = 59;
            --h;
        } else {
            m = 0;
        }
    }
    if (h < 0)
        h = 0;
}

void CSmpteStartDlg::DoDataExchange(dialogs::DataExchange& dx) {
    dx.Check(triggerOn_, values_.triggerOn);
    for (int f = 0; f < 4; ++f)
        dx.Integer(edits_[f], values_.trigger[f]);
    dx.Check(chaseOn_, values_.chaseOn);
    for (int f = 0; f < 4; ++f)
        dx.Integer(edits_[4 + f], values_.chase[f]);
    dx.Radio({resetMode_, jamMode_}, values_.chaseMode);
}

void CSmpteStartDlg::OnValuesShown() {
    setWindowTitle(QStringLiteral("Timecode Trigger of ") + platform::qt::ToQString(values_.name));
    lastFrame_ = LastFrame(values_.frameRate);
    SetFocusField(3);
    ApplyEnabling();
}

void CSmpteStartDlg::closeEvent(QCloseEvent* event) {
    if (closeBox)
        closeBox();
    QDialog::closeEvent(event);
}

bool CSmpteStartDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        for (int f = 0; f < 8; ++f)
            if (watched == edits_[f])
                SetFocusField(f);
    }
    return QDialog::eventFilter(watched, event);
}

int CSmpteStartDlg::FieldMax(int field) const {
    switch (field % 4) {
    case 0:
        return 23;
    case 3:
        return lastFrame_;
    default:
        return 59;
    }
}

int& CSmpteStartDlg::FieldValue(int field) {
    return field < 4 ? values_.trigger[field] : values_.chase[field - 4];
}

void CSmpteStartDlg::SetFocusField(int field) {
    focus_ = field + 1;
    SetSpinner(field);
}

void CSmpteStartDlg::SetSpinner(int field) {
    // The spinner runs from the maximum down, so that its up arrow raises the value.
    QScrollBar* spinner = spinners_[field / 4];
    const int max = FieldMax(field);
    spinner->setRange(0, max);
    spinner->setSliderPosition(max - FieldValue(field));
}

void CSmpteStartDlg::ApplyEnabling() {
    const bool on[2] = {triggerOn_->isChecked(), chaseOn_->isChecked()};
    for (int g = 0; g < 2; ++g) {
        groups_[g]->setEnabled(on[g]);
        for (QLabel* label : labels_[g])
            label->setEnabled(on[g]);
        for (int f = 0; f < 4; ++f)
            edits_[g * 4 + f]->setEnabled(on[g]);
        spinners_[g]->setEnabled(on[g]);
    }
    resetMode_->setEnabled(on[1]);
    jamMode_->setEnabled(on[1]);
}

void CSmpteStartDlg::OnEdited(int field) {
    if (showing_)
        return;
    dialogs::DataExchange read = dialogs::DataExchange::Reading();
    DoDataExchange(read);
    if (read.Failed())
        return;
    int& value = FieldValue(field);
    const int clamped = std::clamp(value, 0, FieldMax(field));
    if (clamped != value) {
        value = clamped;
        showing_ = true;
        edits_[field]->setText(QString::number(value));
        showing_ = false;
    }
    SetSpinner(field);
}

void CSmpteStartDlg::OnSpinner(int group, int action) {
    if (focus_ == 0)
        return;
    const int field = focus_ - 1;
    int& value = FieldValue(field);
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: // the up arrow
        ++value;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        --value;
        break;
    case QAbstractSlider::SliderMove:
        if (spinners_[group]->isSliderDown())
            return; // set when the thumb is let go
        value = FieldMax(field) - spinners_[group]->sliderPosition();
        break;
    default:
        SetSpinner(field);
        return;
    }
    Normalise(field < 4 ? values_.trigger : values_.chase, lastFrame_);
    ShowAll();
    SetSpinner(field);
}

void CSmpteStartDlg::ShowAll() {
    showing_ = true;
    dialogs::DataExchange show = dialogs::DataExchange::Showing();
    DoDataExchange(show);
    showing_ = false;
}
