#include "app/gui/dat_status_dialog.h"

#include "controls/dialogkit/dialog_kit.h"
#include "link/dat_doc.h"
#include "platform/qt/qt_ui_services.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CDatStatusDialog::CDatStatusDialog(const CDatStatusDlg& texts, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("DAT File Status"));
    auto* layout = new QVBoxLayout(this);
    const std::string* lines[] = {&texts.m_strSize, &texts.m_strChecksum, &texts.m_strValidation};
    for (int i = 0; i < 3; ++i) {
        auto* label = dialogs::Named(new QLabel(platform::qt::ToQString(*lines[i]), this), 378 + i);
        label->setMinimumWidth(260);
        // An empty line keeps its place.
        label->setMinimumHeight(label->fontMetrics().height());
        layout->addWidget(label);
    }
    QPushButton* close = dialogs::MakeButton(QStringLiteral("Close"), 1, this);
    close->setDefault(true);
    layout->addWidget(close, 0, Qt::AlignHCenter);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

bool RunDatStatusDialog(CDatStatusDlg& request, QWidget* parent) {
    CDatStatusDialog dialog(request, parent);
    dialogs::CentreOnParent(dialog);
    dialog.exec();
    return true;
}
