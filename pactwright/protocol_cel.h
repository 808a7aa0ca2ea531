// The command grid: two columns, "Heading" and "Data", the Data cells edited in place. Every
// finished edit is stored in the document at once through the view.
#pragma once

#include "views/gridbase/vl_cel_ctrl.h"

namespace pactwright {

class CPactwrightView;

class ProtocolCel : public VLCELCtrl {
public:
    explicit ProtocolCel(CPactwrightView& view);

    bool AllowEditFinish(int column, int row, CELEdit* editor, std::string& text,
                         bool cancelled) override;
    bool AllowEditContinue(int column, int row, int& nextColumn, int& nextRow) override;
    void NotifyCellDoubleClick(int column, int row, const QRect& rect, const QPoint& point,
                               int processed) override;
    void NotifyCharTyped(int& ch, int processed) override;
    void NotifyKeyPressed(int& key, int processed) override;
    void NotifySideHeadingLeftClick(int column, int row, int down, const QRect& rect,
                                    const QPoint& point, int processed) override;
    void NotifySideHeadingRightClick(int column, int row, int down, const QRect& rect,
                                     const QPoint& point, int processed) override;
    void NotifySideHeadingDoubleClick(int column, int row, const QRect& rect, const QPoint& point,
                                      int processed) override;
    void AdjustChildLayout(QRect& cellArea, QRect& topHeading, QRect& sideHeading, QRect& corner,
                           QRect& vScroll, QRect& hScroll, QRect& tabs) override;

private:
    CPactwrightView& view_;
};

} // namespace pactwright
