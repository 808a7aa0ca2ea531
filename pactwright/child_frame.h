// The content of a document window: a static splitter of one row and two columns with the tree
// on the left and the grid on the right, both attached to the document. New Command, New Param
// and New Byte reach it from either pane and go to the pane that handles them; F6 and Shift+F6
// move between the panes.
#pragma once

#include "controls/commandbars/splitter.h"
#include "platform/qt/command_target.h"

namespace pactwright {

class CLeftView;
class CPactwrightView;

class CChildFrame : public CGVSplitterWnd, public platform::qt::CommandTarget {
public:
    explicit CChildFrame(QWidget* parent = nullptr);
    // Places the views in panes (0,0) and (0,1) and pairs the tree with this grid.
    void SetPanes(CLeftView* left, CPactwrightView* right);
    CLeftView* LeftView() const { return left_; }
    CPactwrightView* RightView() const { return right_; }

    bool OnCommand(unsigned id) override;
    bool HasCommandHandler(unsigned id) const override;

private:
    CLeftView* left_ = nullptr;
    CPactwrightView* right_ = nullptr;
};

} // namespace pactwright
