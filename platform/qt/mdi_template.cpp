#include "platform/qt/mdi_template.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <filesystem>
#include <utility>

namespace platform::qt {

void ViewRegistry::RegisterView(const std::string& viewClass, ViewFactory factory) {
    views_[viewClass] = std::move(factory);
}

const ViewRegistry::ViewFactory* ViewRegistry::FindView(const std::string& viewClass) const {
    const auto it = views_.find(viewClass);
    return it != views_.end() && it->second ? &it->second : nullptr;
}

void ViewRegistry::RegisterDialog(const std::string& dialogName,
                                  QtUiServices::DialogHandler handler) {
    dialogs_[dialogName] = std::move(handler);
}

void ViewRegistry::InstallDialogs(QtUiServices& services) const {
    for (const auto& [name, handler] : dialogs_)
        services.SetDialogHandler(name, handler);
}

void ViewRegistry::RegisterContent(const std::string& viewClass, ContentFactory content) {
    contents_[viewClass] = std::move(content);
}

const ContentFactory* ViewRegistry::FindContent(const std::string& viewClass) const {
    const auto it = contents_.find(viewClass);
    return it != contents_.end() && it->second ? &it->second : nullptr;
}

MdiDocTemplate::MdiDocTemplate(QMdiArea& area, const ViewRegistry& views,
                               TemplateResources resources, std::string viewClass,
                               FrameFactory frames)
    : area_(area), views_(views), resources_(std::move(resources)),
      viewClass_(std::move(viewClass)), frames_(std::move(frames)) {}

MdiDocTemplate::~MdiDocTemplate() {
    // Frames outliving the template must not call back into it.
    for (QMdiSubWindow* sub : area_.subWindowList()) {
        if (auto* frame = dynamic_cast<MdiChildFrame*>(sub); frame && frame->docTemplate == this) {
            frame->docTemplate = nullptr;
            frame->closed = nullptr;
        }
    }
}

bool MdiDocTemplate::ViewAvailable() const {
    return views_.FindView(viewClass_) != nullptr;
}

MdiChildFrame* MdiDocTemplate::CreateNewFrame(Document& document) {
    if (!ViewAvailable() || !frames_)
        return nullptr;
    MdiChildFrame* frame = frames_(document);
    if (!frame)
        return nullptr;
    std::vector<std::pair<CreatedView, QPointer<QWidget>>> made;
    const ViewMaker make = [&](const std::string& viewClass, QWidget* parent) -> QWidget* {
        const ViewRegistry::ViewFactory* factory = views_.FindView(viewClass);
        if (!factory)
            return nullptr;
        const CreatedView created = (*factory)(document, parent);
        if (!created.widget || !created.view) {
            delete created.widget;
            return nullptr;
        }
        if (parent && created.widget->parentWidget() != parent)
            created.widget->setParent(parent);
        made.push_back({created, created.widget});
        return created.widget;
    };
    const ContentFactory* registered = content_ ? &content_ : views_.FindContent(viewClass_);
    QWidget* content = registered ? (*registered)(*frame, make) : make(viewClass_, frame);
    if (!content || made.empty()) {
        delete content;
        for (auto& [created, widget] : made)
            delete widget.data(); // views the content did not take
        delete frame;
        return nullptr;
    }
    frame->setWidget(content);
    if (!resources_.icon.isNull())
        frame->setWindowIcon(resources_.icon);
    frame->docTemplate = this;
    std::vector<FramedView*> views;
    for (auto& [created, widget] : made) {
        frame->AddView(created.view, created.widget);
        created.view->SetFrame(frame);
        document.AddView(&created.view->DocumentView());
        views.push_back(created.view);
    }
    Document* doc = &document;
    frame->closed = [this, doc, views, frame] {
        frame->ClearViews();
        FrameClosed(*doc, views);
    };
    area_.addSubWindow(frame);
    return frame;
}

void MdiDocTemplate::InitialUpdateFrame(MdiChildFrame& frame, bool visible) {
    for (FramedView* view : frame.Views())
        view->OnInitialUpdate();
    if (visible) {
        if (!frame.isVisible())
            frame.InitialShow();
        if (!frame.isMinimized())
            area_.setActiveSubWindow(&frame);
    }
}

FramedView* MdiDocTemplate::OpenView(Document& document) {
    MdiChildFrame* frame = CreateNewFrame(document);
    if (!frame)
        return nullptr;
    InitialUpdateFrame(*frame, true);
    return frame->Views().empty() ? nullptr : frame->Views().front();
}

void MdiDocTemplate::Discard(MdiChildFrame* frame) {
    // A document that failed to open: its views never belonged to it.
    for (FramedView* view : frame->Views()) {
        if (Document* document = view->DocumentView().GetDocument())
            document->RemoveView(&view->DocumentView());
        view->SetFrame(nullptr);
    }
    frame->closed = nullptr;
    frame->ClearViews();
    delete frame;
}

void MdiDocTemplate::SetDocumentFactory(DocumentFactory factory, std::string docName,
                                        std::string filterExt) {
    documentFactory_ = std::move(factory);
    docName_ = std::move(docName);
    filterExt_ = std::move(filterExt);
}

Document* MdiDocTemplate::FindOpenDocument(const std::string& path) const {
    std::error_code ec;
    for (const auto& document : documents_) {
        const std::string& open = document->GetPathName();
        if (open.empty())
            continue;
        if (open == path || std::filesystem::equivalent(open, path, ec))
            return document.get();
    }
    return nullptr;
}

Document* MdiDocTemplate::OpenDocumentFile(const std::string& path, bool makeVisible) {
    if (!documentFactory_ || !ViewAvailable())
        return nullptr;
    // A file that is open already is not read again: its window comes forward.
    if (Document* open = path.empty() ? nullptr : FindOpenDocument(path)) {
        if (makeVisible && !open->Views().empty()) {
            if (auto* framed = dynamic_cast<FramedView*>(open->Views().front());
                framed && framed->Frame()) {
                if (framed->Frame()->isMinimized())
                    framed->Frame()->showNormal();
                area_.setActiveSubWindow(framed->Frame());
            }
        }
        return open;
    }
    std::unique_ptr<Document> document = documentFactory_();
    if (!document) {
        ShowMessage("Failed to create empty document.");
        return nullptr;
    }
    MdiChildFrame* frame = CreateNewFrame(*document);
    if (!frame) {
        ShowMessage("Failed to create empty document.");
        return nullptr;
    }
    auto discard = [&] { Discard(frame); };
    if (!path.empty()) {
        WaitCursor wait;
        if (!document->OnOpenDocument(path)) {
            discard();
            return nullptr;
        }
    } else {
        document->SetTitle(docName_.empty()
                               ? std::string("Untitled")
                               : docName_ + std::to_string(std::uint16_t(untitledCount_ + 1)));
        if (!document->OnNewDocument()) {
            discard();
            return nullptr;
        }
        ++untitledCount_;
    }
    Document* result = document.get();
    documents_.push_back(std::move(document));
    InitialUpdateFrame(*frame, makeVisible);
    return result;
}

MdiDocTemplate* MdiDocTemplate::OfFrame(const QMdiSubWindow* frame) {
    const auto* child = dynamic_cast<const MdiChildFrame*>(frame);
    return child ? child->docTemplate : nullptr;
}

FramedView* MdiDocTemplate::ViewOfFrame(const QMdiSubWindow* frame) {
    const auto* child = dynamic_cast<const MdiChildFrame*>(frame);
    return child ? child->ActiveView() : nullptr;
}

void MdiDocTemplate::FrameClosed(Document& document, const std::vector<FramedView*>& views) {
    for (FramedView* view : views) {
        document.RemoveView(&view->DocumentView());
        view->SetFrame(nullptr);
    }
    if (!document.Views().empty())
        return;
    if (lastViewClosed)
        lastViewClosed(document);
    for (auto it = documents_.begin(); it != documents_.end(); ++it) {
        if (it->get() == &document) {
            document.OnCloseDocument();
            documents_.erase(it);
            break;
        }
    }
}

} // namespace platform::qt
