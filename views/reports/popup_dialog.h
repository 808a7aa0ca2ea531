// The pop-up status window: a caption and two lines, no buttons, centred on the desktop, shown
// for the "Popup Window Delay" and gone. The wait blocks the user-interface thread on the
// monotonic clock (input typed meanwhile is handled afterwards).
#pragma once

#include "compiler/popup_request.h"

#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

namespace reports {

class CPopupDlg : public QDialog {
public:
    CPopupDlg();
    // Shows the window and paints it now.
    void CreateModeless();
    void SetMessage(const std::string& text);
    void SetDetail(const std::string& text);
    // Where the pop-up goes on a screen: its middle, halves rounded toward zero.
    static QPoint CentredOn(const QRect& desktop, const QSize& own);

private:
    QLabel* message_;
    QLabel* detail_;
    QPushButton* close_;
};

// Shows the request's title and message for its delay (ticks of 55 ms), then destroys the
// window.
void ShowPopup(const ::CPopupDlg& request);

} // namespace reports
