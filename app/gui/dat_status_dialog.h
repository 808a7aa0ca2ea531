// "DAT File Status" (dialog 173): the three status lines of a compiled image and Close.
#pragma once

#include <QDialog>

struct CDatStatusDlg;

class CDatStatusDialog : public QDialog {
public:
    explicit CDatStatusDialog(const CDatStatusDlg& texts, QWidget* parent = nullptr);
};

// The handler of the image document's status request: shows it modally.
bool RunDatStatusDialog(CDatStatusDlg& request, QWidget* parent = nullptr);
