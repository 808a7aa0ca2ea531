#include "pactwright/child_frame.h"

#include "pactwright/left_view.h"
#include "pactwright/pactwright_ids.h"
#include "pactwright/pactwright_view.h"

#include <QApplication>

using namespace pw_ids;

namespace pactwright {

CChildFrame::CChildFrame(QWidget* parent) : CGVSplitterWnd(parent) {
    CreateStatic(1, 2);
}

void CChildFrame::SetPanes(CLeftView* left, CPactwrightView* right) {
    left_ = left;
    right_ = right;
    SetPane(0, 0, left);
    SetPane(0, 1, right);
    // The tree's initial size is 200 by 100, the grid's 100 by 100.
    SetColumnInfo(0, 200, 0);
    SetColumnInfo(1, 100, 0);
    SetRowInfo(0, 100, 0);
    left->SetGridView(right);
}

bool CChildFrame::HasCommandHandler(unsigned id) const {
    return id == kNewCommand || id == kNewParam || id == kNewByte || id == kNextPane ||
           id == kPrevPane;
}

bool CChildFrame::OnCommand(unsigned id) {
    switch (id) {
    case kNewCommand:
        if (left_)
            left_->OnNewCommand();
        return true;
    case kNewParam:
        if (right_)
            right_->OnNewParam();
        return true;
    case kNewByte:
        if (right_)
            right_->OnNewByte();
        return true;
    case kNextPane:
    case kPrevPane: {
        // Two panes: either key moves to the other one.
        QWidget* target = left_ && left_->hasFocus() ? static_cast<QWidget*>(right_) : left_;
        if (right_ && right_->isAncestorOf(QApplication::focusWidget()))
            target = left_;
        if (target)
            target->setFocus(Qt::OtherFocusReason);
        return true;
    }
    default:
        return false;
    }
}

} // namespace pactwright
