#include "platform/document.h"

#include <algorithm>

namespace platform {

View::~View() {
    if (document_)
        document_->RemoveView(this);
}

Document::~Document() {
    for (View* v : views_)
        v->document_ = nullptr;
}

void Document::SetPathName(const std::string& path) {
    path_ = path;
    size_t slash = path.find_last_of("/\\");
    title_ = slash == std::string::npos ? path : path.substr(slash + 1);
}

void Document::AddView(View* view) {
    if (!view || view->document_ == this)
        return;
    if (view->document_)
        view->document_->RemoveView(view);
    views_.push_back(view);
    view->document_ = this;
    view->OnAttached();
}

void Document::RemoveView(View* view) {
    auto it = std::find(views_.begin(), views_.end(), view);
    if (it == views_.end())
        return;
    views_.erase(it);
    view->document_ = nullptr;
}

void Document::UpdateAllViews(View* sender, long hint, void* object) {
    // A view may detach itself while it updates: walk a copy.
    std::vector<View*> views = views_;
    for (View* v : views)
        if (v != sender && v->document_ == this)
            v->OnUpdate(sender, hint, object);
}

} // namespace platform
