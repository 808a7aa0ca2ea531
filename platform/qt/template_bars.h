// The per-template menus and keys of an MDI main frame: each child frame shows its template's
// menu (a child whose template has none shows the fallback menu of the program's documents, when
// it asks for it), and the active child's template accelerators come before the frame's own.
// platform/qt knows no control of the toolkit: `Frame` is the toolkit's MDI frame and
// `Resources` its resource table (an `Instance()` with `FindMenu` and `FindAccelerators`).
#pragma once

#include "platform/qt/mdi_template.h"

#include <QMdiArea>
#include <QObject>

namespace platform::qt {

template <typename Frame, typename Resources> class TemplateBars : public QObject {
public:
    TemplateBars(Frame& frame, unsigned fallbackMenu)
        : frame_(frame), fallbackMenu_(fallbackMenu), frameKeys_(*frame.GetAccelerators()) {
        connect(frame.MdiClient(), &QMdiArea::subWindowActivated, this,
                [this](QMdiSubWindow* child) { Activated(child); });
    }

    // A template made `child`, before it first shows; `fallback`: a child without a menu of
    // its own shows the fallback menu.
    void FrameMade(QMdiSubWindow& child, const TemplateResources& resources, bool fallback) {
        const unsigned id = unsigned(resources.id);
        frame_.SetChildTemplateId(&child, id);
        auto menu = resources.hasMenu ? Resources::Instance().FindMenu(id) : nullptr;
        if (!menu && fallback)
            menu = Resources::Instance().FindMenu(fallbackMenu_);
        if (menu)
            frame_.SetChildMenu(&child, std::move(menu));
    }

private:
    void Activated(QMdiSubWindow* child) {
        auto keys = frameKeys_;
        keys.clear();
        if (const MdiDocTemplate* owner = MdiDocTemplate::OfFrame(child);
            owner && owner->Resources().hasAccelerators)
            if (const auto* own =
                    Resources::Instance().FindAccelerators(unsigned(owner->ResourceId())))
                keys = *own;
        keys.insert(keys.end(), frameKeys_.begin(), frameKeys_.end());
        frame_.SetAccelerators(std::move(keys));
    }

    Frame& frame_;
    unsigned fallbackMenu_;
    std::remove_cvref_t<decltype(*std::declval<Frame&>().GetAccelerators())> frameKeys_;
};

} // namespace platform::qt
