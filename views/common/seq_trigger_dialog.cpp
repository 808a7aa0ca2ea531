#include "views/common/seq_trigger_dialog.h"

#include "controls/dialogkit/dialog_kit.h"
#include "platform/one_line_text.h"
#include "platform/qt/mdi_template.h"
#include "platform/qt/qt_ui_services.h"
#include "script/dialog_requests.h"
#include "script/product.h"
#include "script/sequence.h"
#include "script/vl_doc.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

using platform::qt::FromQString;
using platform::qt::ToQString;

namespace {

constexpr std::size_t kMaxName = 255;

// Fills an editable drop-down with `entries`, sorted by their display text as the list sorts.
void FillSorted(QComboBox* box, const std::vector<std::unique_ptr<CIOObject>>& entries) {
    std::vector<int> order(entries.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(), [&entries](int a, int b) {
        return ToQString(entries[std::size_t(a)]->Display())
                   .compare(ToQString(entries[std::size_t(b)]->Display()), Qt::CaseInsensitive) < 0;
    });
    for (int i : order)
        box->addItem(ToQString(entries[std::size_t(i)]->Display()), i);
}

} // namespace

const char* CSeqTriggerDialog::TitlePrefix(int triggerIndex) {
    static const char* const kTitles[4] = {"Start Triggers of ", "Stop Triggers of ",
                                           "Pause Triggers of ", "Reset Triggers of "};
    return kTitles[std::clamp(triggerIndex, 0, 3)];
}

CSeqTriggerDialog::CSeqTriggerDialog(CSeqTriggerDlg& request, QWidget* parent)
    : ExchangeDialog(parent), request_(request) {
    placement = dialogs::CentreOnParent;
    setObjectName(QStringLiteral("dlg_138"));
    auto* layout = new QVBoxLayout(this);

    auto* input = new QGroupBox(QStringLiteral("Input Trigger"), this);
    auto* inputLayout = new QGridLayout(input);
    const int boxIds[3] = {214, 215, 216};
    for (int b = 0; b < 3; ++b) {
        boxes_[b] = dialogs::Named(new QComboBox(this), boxIds[b]);
        boxes_[b]->setEditable(true);
        boxes_[b]->setInsertPolicy(QComboBox::NoInsert);
        boxes_[b]->setMinimumWidth(220);
        connect(boxes_[b], &QComboBox::activated, this,
                [this, b](int index) { OnChosen(b, index); });
        connect(boxes_[b]->lineEdit(), &QLineEdit::textEdited, this, [this, b] {
            chosen_[b] = -1;
            ApplyEnabling();
        });
    }
    inputLayout->addWidget(boxes_[0], 0, 0, 1, 2);
    edge_[0] = dialogs::MakeRadio(QStringLiteral("Active On ( Rising Edge )"), 212, input);
    edge_[1] = dialogs::MakeRadio(QStringLiteral("Active Off ( Falling Edge )"), 213, input);
    inputLayout->addWidget(edge_[0], 1, 0);
    inputLayout->addWidget(edge_[1], 1, 1);
    layout->addWidget(input);

    // Each radio group needs its own parent so that the three groups stay apart.
    auto* combineRow = new QWidget(this);
    auto* combineLayout = new QHBoxLayout(combineRow);
    combine_[0] = dialogs::MakeRadio(QStringLiteral("And"), 201, combineRow);
    combine_[1] = dialogs::MakeRadio(QStringLiteral("Or"), 202, combineRow);
    combineLayout->addWidget(combine_[0]);
    combineLayout->addWidget(combine_[1]);
    layout->addWidget(combineRow);

    auto* variable = new QGroupBox(QStringLiteral("Variable Trigger"), this);
    auto* variableLayout = new QGridLayout(variable);
    variableLayout->addWidget(boxes_[1], 0, 0, 1, 6);
    const char* const compareTexts[6] = {"EQ", "NEQ", "GT", "LT", "GE", "LE"};
    for (int c = 0; c < 6; ++c) {
        comparison_[c] =
            dialogs::MakeRadio(QString::fromLatin1(compareTexts[c]), 205 + c, variable);
        variableLayout->addWidget(comparison_[c], 1, c);
    }
    variableLayout->addWidget(
        dialogs::Named(new QLabel(QStringLiteral("Variable or Literal"), variable), 217), 2, 0, 1,
        6);
    variableLayout->addWidget(boxes_[2], 3, 0, 1, 6);
    layout->addWidget(variable);
    layout->addWidget(dialogs::OkCancel(*this));
}

CSeqTriggerDialog::~CSeqTriggerDialog() = default;

void CSeqTriggerDialog::FillLists() {
    const CProduct* product = request_.document && request_.document->m_pProduct
                                  ? request_.document->m_pProduct.get()
                                  : nullptr;
    for (int b = 0; b < 3; ++b) {
        boxes_[std::size_t(b)]->clear();
        lists_[std::size_t(b)].clear();
        chosen_[std::size_t(b)] = -1;
    }
    if (product) {
        for (int i = 0; i < product->m_wInputs && i < CProduct::kMaxInputs; ++i)
            lists_[0].push_back(std::make_unique<CIOObject>(
                product->m_Inputs[std::size_t(i)].m_strName, CIOObject::Input, i + 1));
        for (int v = 1; v <= 2; ++v)
            for (int i = 0; i < product->m_wVars && i < CProduct::kMaxVars; ++i)
                lists_[std::size_t(v)].push_back(std::make_unique<CIOObject>(
                    product->m_Vars[std::size_t(i)].m_strName, CIOObject::Variable, i + 1));
    }
    for (int b = 0; b < 3; ++b)
        FillSorted(boxes_[std::size_t(b)], lists_[std::size_t(b)]);
}

void CSeqTriggerDialog::ShowNames() {
    CSeq* seq = request_.sequence;
    if (!seq)
        return;
    const CTrigger& trigger =
        seq->m_aTriggers[std::size_t(std::clamp(request_.triggerIndex, 0, 3))];
    const std::string* texts[3] = {&trigger.m_strIoName, &trigger.m_strVariable,
                                   &trigger.m_strValue};
    for (int b = 0; b < 3; ++b) {
        boxes_[std::size_t(b)]->setCurrentIndex(-1);
        boxes_[std::size_t(b)]->setEditText(ToQString(*texts[b]));
    }
}

void CSeqTriggerDialog::StoreNames() {
    CSeq* seq = request_.sequence;
    if (!seq)
        return;
    CTrigger& trigger = seq->m_aTriggers[std::size_t(std::clamp(request_.triggerIndex, 0, 3))];
    std::string* targets[3] = {&trigger.m_strIoName, &trigger.m_strVariable, &trigger.m_strValue};
    for (int b = 0; b < 3; ++b) {
        const int chosen = chosen_[std::size_t(b)];
        std::string name;
        if (chosen >= 0) {
            const int entry = boxes_[std::size_t(b)]->itemData(chosen).toInt();
            name = lists_[std::size_t(b)][std::size_t(entry)]->Name();
        } else {
            name = platform::OneLineText(FromQString(boxes_[std::size_t(b)]->currentText()));
            if (name.size() > kMaxName)
                name.resize(kMaxName);
        }
        *targets[b] = std::move(name);
    }
}

void CSeqTriggerDialog::DoDataExchange(dialogs::DataExchange& dx) {
    if (dx.IsReading())
        StoreNames();
    else {
        FillLists();
        ShowNames();
    }
    // A choice outside its group shows no button checked and keeps its value on OK.
    int combine = request_.combine;
    int comparison = request_.comparison;
    dx.Radio({edge_[0], edge_[1]}, request_.goesOff);
    dx.Radio({combine_[0], combine_[1]}, combine);
    dx.Radio({comparison_[0], comparison_[1], comparison_[2], comparison_[3], comparison_[4],
              comparison_[5]},
             comparison);
    if (dx.IsReading()) {
        request_.combine = std::uint16_t(combine);
        request_.comparison = std::uint16_t(comparison);
    }
}

void CSeqTriggerDialog::OnValuesShown() {
    CSeq* seq = request_.sequence;
    setWindowTitle(QString::fromLatin1(TitlePrefix(request_.triggerIndex)) +
                   (seq ? ToQString(seq->m_strName) : QString()));
    ApplyEnabling();
}

void CSeqTriggerDialog::OnChosen(int box, int index) {
    chosen_[std::size_t(box)] = index;
    ApplyEnabling();
    // After the list has shown the entry's full text, show the plain name in its place.
    QTimer::singleShot(0, this, [this, box, index] {
        const int entry = boxes_[std::size_t(box)]->itemData(index).toInt();
        const auto& list = lists_[std::size_t(box)];
        if (entry >= 0 && std::size_t(entry) < list.size())
            boxes_[std::size_t(box)]->setEditText(ToQString(list[std::size_t(entry)]->Name()));
    });
}

void CSeqTriggerDialog::ApplyEnabling() {
    const auto text = [this](int b) {
        const int chosen = chosen_[std::size_t(b)];
        if (chosen >= 0) {
            const int entry = boxes_[std::size_t(b)]->itemData(chosen).toInt();
            return ToQString(lists_[std::size_t(b)][std::size_t(entry)]->Name());
        }
        return boxes_[std::size_t(b)]->currentText();
    };
    const bool input = !text(0).isEmpty();
    const bool both = input && !text(1).isEmpty();
    for (QRadioButton* radio : edge_)
        radio->setEnabled(input);
    for (QRadioButton* radio : combine_)
        radio->setEnabled(both);
}

void RegisterSequenceDialogs(platform::qt::ViewRegistry& registry,
                             std::function<QWidget*()> parent) {
    registry.RegisterDialog<CSeqTriggerDlg>([parent = std::move(parent)](CSeqTriggerDlg& request) {
        CSeqTriggerDialog dialog(request, parent ? parent() : nullptr);
        return dialog.Run() == QDialog::Accepted;
    });
}
