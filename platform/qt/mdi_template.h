// Document templates on a QMdiArea: a template pairs a kind of frame with a kind of view and a
// resource id (which selects the frame's menu, accelerators and icon). Views come from a
// registry that the program's view libraries fill as they arrive; a template whose view is not
// registered makes no frame and says nothing. Frames get their document from the template that
// creates them, never from whichever child happens to be active.
#pragma once

#include "platform/document.h"
#include "platform/qt/mdi_view.h"
#include "platform/qt/qt_ui_services.h"

#include <QIcon>
#include <QObject>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace platform::qt {

class MdiChildFrame;
class MdiDocTemplate;

// A view made for a frame: its widget (owned by the frame) and its document side.
struct CreatedView {
    QWidget* widget = nullptr;
    FramedView* view = nullptr;
};

// Makes a view of a registered class for the frame's document, as a child of `parent`; null
// when the class is not registered or its view cannot be made.
using ViewMaker = std::function<QWidget*(const std::string& viewClass, QWidget* parent)>;
// Makes a frame's content around its views (bars, a splitter); without one the content is the
// one view of the template's class. Null, or content without a view, makes no frame.
using ContentFactory = std::function<QWidget*(MdiChildFrame& frame, const ViewMaker& make)>;

// The views and dialogs the program knows, by the class name of the view ("CDatView") and the
// name of the dialog request ("CPopupDlg").
class ViewRegistry {
public:
    using ViewFactory = std::function<CreatedView(Document& document, QWidget* parent)>;

    void RegisterView(const std::string& viewClass, ViewFactory factory);
    const ViewFactory* FindView(const std::string& viewClass) const;
    // The content of the frames whose template shows `viewClass`, registered by the library
    // that brings the view, so a frame with bars of its own needs nothing of the program.
    void RegisterContent(const std::string& viewClass, ContentFactory content);
    const ContentFactory* FindContent(const std::string& viewClass) const;

    void RegisterDialog(const std::string& dialogName, QtUiServices::DialogHandler handler);
    // The handler of one kind of request, by the request's own type and name.
    template <typename Request> void RegisterDialog(std::function<bool(Request&)> handler) {
        RegisterDialog(Request::kDialogName,
                       [handler = std::move(handler)](DialogRequest& request) {
                           return handler(static_cast<Request&>(request));
                       });
    }
    // Hands every registered dialog handler to the services.
    void InstallDialogs(QtUiServices& services) const;

private:
    std::map<std::string, ViewFactory> views_;
    std::map<std::string, ContentFactory> contents_;
    std::map<std::string, QtUiServices::DialogHandler> dialogs_;
};

// What the resource id of a template brings with it.
struct TemplateResources {
    int id = 0;
    bool hasMenu = false;
    bool hasAccelerators = false;
    QIcon icon;
};

// A template lives no longer than its area.
class MdiDocTemplate {
public:
    // Makes the frame of the template's kind for a document (not yet in the area). The frame
    // takes the document it is given.
    using FrameFactory = std::function<MdiChildFrame*(Document& document)>;
    // Makes a new document for the registered templates that create their own.
    using DocumentFactory = std::function<std::unique_ptr<Document>()>;
    using ViewMaker = platform::qt::ViewMaker;
    using ContentFactory = platform::qt::ContentFactory;

    MdiDocTemplate(QMdiArea& area, const ViewRegistry& views, TemplateResources resources,
                   std::string viewClass, FrameFactory frames);
    virtual ~MdiDocTemplate();
    MdiDocTemplate(const MdiDocTemplate&) = delete;
    MdiDocTemplate& operator=(const MdiDocTemplate&) = delete;

    const TemplateResources& Resources() const { return resources_; }
    int ResourceId() const { return resources_.id; }
    // True while the registry holds the template's view.
    bool ViewAvailable() const;
    // Content of the template's own, before the registry's for its view class.
    void SetContent(ContentFactory content) { content_ = std::move(content); }

    // A frame with a new view of `document`, in the area but not shown yet; null (silently)
    // when the view is not registered or the frame cannot be made.
    MdiChildFrame* CreateNewFrame(Document& document);
    // The view's first update, then the frame shows when `visible`.
    void InitialUpdateFrame(MdiChildFrame& frame, bool visible);
    // A further frame on an open document: create and show. Answers the frame's first view;
    // null when there is none to make.
    FramedView* OpenView(Document& document);

    // The framework's template for documents it owns itself: document string fields, untitled
    // numbering ("Script1", "Script2", ...; the framework's "Untitled" without a name).
    void SetDocumentFactory(DocumentFactory factory, std::string docName, std::string filterExt);
    const std::string& FilterExtension() const { return filterExt_; }
    // Opens a file in a new document, or (empty path) makes a new document. A file that one of
    // the template's documents holds already is not read again: that document's window is
    // activated and the document answered.
    Document* OpenDocumentFile(const std::string& path, bool makeVisible = true);
    // The template's document of that file (the same path, or the same file), or null.
    Document* FindOpenDocument(const std::string& path) const;
    const std::vector<std::unique_ptr<Document>>& Documents() const { return documents_; }
    // The template whose frame is `frame`, or null.
    static MdiDocTemplate* OfFrame(const QMdiSubWindow* frame);
    // The active view of a frame that a template made (the pane that has or last had the
    // focus), or null. Routing, Find, Print and the other view commands find it here.
    static FramedView* ViewOfFrame(const QMdiSubWindow* frame);

    // Told when the last view of a document closed (the owner closes the document).
    std::function<void(Document&)> lastViewClosed;

private:
    void FrameClosed(Document& document, const std::vector<FramedView*>& views);
    void Discard(MdiChildFrame* frame);

    QMdiArea& area_;
    const ViewRegistry& views_;
    TemplateResources resources_;
    std::string viewClass_;
    FrameFactory frames_;
    ContentFactory content_;
    DocumentFactory documentFactory_;
    std::string docName_;
    std::string filterExt_;
    std::uint32_t untitledCount_ = 0;
    std::vector<std::unique_ptr<Document>> documents_;
};

} // namespace platform::qt
