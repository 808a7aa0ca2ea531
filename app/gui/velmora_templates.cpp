#include "app/gui/velmora_templates.h"

#include "app/gui/shell_dialogs.h"

#include "views/sequences/event_frames.h"

#include "controls/commandbars/frame.h"
#include "link/dat_doc.h"
#include "platform/paths.h"
#include "platform/qt/qt_ui_services.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <algorithm>

namespace pq = platform::qt;

namespace {

constexpr FrameKind kFrameKinds[] = {
    {"CSeqListMDIChildWnd", "Sequences of ", QSize(630, 230), CVLDoc::kWinSequenceList},
    {"CInputMDIChildWnd", "Inputs of ", QSize(550, 400), CVLDoc::kWinInput},
    {"COutputMDIChildWnd", "Outputs of ", QSize(550, 400), CVLDoc::kWinOutput},
    {"CFlagMDIChildWnd", "Flags of ", QSize(550, 400), CVLDoc::kWinFlag},
    {"CVarMDIChildWnd", "Vars of ", QSize(550, 400), CVLDoc::kWinVar},
    {"CPortMDIChildWnd", "Ports of ", QSize(775, 425), CVLDoc::kWinPort},
    {"CDataStrMDIChildWnd", "Data Strings of ", QSize(780, 400), CVLDoc::kWinDataString},
    {"CLcdStrMDIChildWnd", "LCD Strings of ", QSize(780, 400), CVLDoc::kWinLcdString},
    {"CCompileMDIChildWnd", "Compile/Download of ", QSize(790, 500), CVLDoc::kWinCompile},
};

} // namespace

const FrameKind* FindFrameKind(std::string_view frameClass) {
    for (const FrameKind& kind : kFrameKinds)
        if (frameClass == kind.frameClass)
            return &kind;
    return nullptr;
}

pq::TemplateResources ResourcesOf(int id) {
    pq::TemplateResources resources;
    resources.id = id;
    resources.hasMenu = id == 3 || id == 4 || id == 6 || (id >= 146 && id <= 149);
    resources.hasAccelerators = id == 3 || id == 147 || id == 149;
    // The script's own window shows the program's icon; the other kinds with an icon of their
    // own take it from the desktop's icon theme.
    const char* icon = nullptr;
    switch (id) {
    case 3:
        resources.icon = VelmoraIcon();
        break;
    case 4:
        icon = "run-build";
        break;
    case 6:
        icon = "application-octet-stream";
        break;
    case 146:
        icon = "view-list-details";
        break;
    case 147:
        icon = "view-calendar-list";
        break;
    case 149:
        icon = "view-calendar-timeline";
        break;
    default:
        break;
    }
    if (icon)
        resources.icon = QIcon::fromTheme(QString::fromLatin1(icon));
    return resources;
}

bool MayCloseScriptWindow(CVLDoc& doc, const void* frame) {
    const auto& views = doc.Views();
    const bool last = std::none_of(views.begin(), views.end(), [frame](platform::View* view) {
        return view->FrameId() != frame;
    });
    if (last && doc.IsHeld()) {
        // The compile or transfer works on the script: it stops first.
        if (doc.m_nCompileRunning)
            doc.m_nAbortRequested = 1;
        return false;
    }
    return doc.CanCloseFrame(frame);
}

CMDIChildRememberWnd::CMDIChildRememberWnd(CVLDoc& doc, const FrameKind& kind, bool& closingScript)
    : PlacementFrame(kind.defaultSize), doc_(&doc), kind_(kind), closingScript_(closingScript) {
    storedPlacement = [this] { return StoredPlacement(); };
    savePlacement = [this](const pq::PlacementRecord& record) { SavePlacement(record); };
    connect(this, &QMdiSubWindow::aboutToActivate, this, [this] { UpdateTitle(); });
}

pq::PlacementRecord CMDIChildRememberWnd::StoredPlacement() const {
    pq::PlacementRecord record;
    if (!doc_)
        return record;
    const auto& pos = doc_->m_anWindowPos[kind_.windowKind];
    record.x = pos[0];
    record.y = pos[1];
    record.width = pos[2];
    record.height = pos[3];
    record.maximised = doc_->m_anMaximized[kind_.windowKind] != 0;
    record.minimised = doc_->m_anMinimized[kind_.windowKind] != 0;
    return record;
}

void CMDIChildRememberWnd::SavePlacement(const pq::PlacementRecord& record) {
    if (!doc_)
        return;
    doc_->m_anWindowPos[kind_.windowKind] = {record.x, record.y, record.width, record.height};
    doc_->m_anMaximized[kind_.windowKind] = record.maximised ? 1 : 0;
    doc_->m_anMinimized[kind_.windowKind] = record.minimised ? 1 : 0;
}

void CMDIChildRememberWnd::UpdateTitle() {
    if (!doc_)
        return;
    // The first view names the frame.
    std::string title = Views().empty() ? std::string() : Views().front()->FrameCaption();
    if (title.empty() && windowTitle().isEmpty())
        title = kind_.titlePrefix + doc_->GetScriptName();
    if (!title.empty() && pq::FromQString(windowTitle()) != title)
        setWindowTitle(pq::ToQString(title));
}

void CMDIChildRememberWnd::InitialShow() {
    UpdateTitle();
    PlacementFrame::InitialShow();
    // The sequence list keeps where it opened in the script at once; the other kinds write
    // their record when the user moves or sizes them.
    if (kind_.windowKind == CVLDoc::kWinSequenceList)
        SavePlacement(Current());
}

void CMDIChildRememberWnd::closeEvent(QCloseEvent* event) {
    CVLDoc* doc = doc_;
    if (!doc || closingScript_) {
        // Detached, or closed by its script's own close: nothing to ask.
        doc_ = nullptr;
        PlacementFrame::closeEvent(event);
        return;
    }
    const bool compile = kind_.windowKind == CVLDoc::kWinCompile;
    const bool sequences = kind_.windowKind == CVLDoc::kWinSequenceList;
    if ((compile || sequences) && doc->IsHeld()) {
        // A running compile or transfer is stopped, never orphaned: the window stays.
        if (doc->m_nCompileRunning)
            doc->m_nAbortRequested = 1;
        event->ignore();
        return;
    }
    if (sequences) {
        // The sequence list stands for the script: asked once, then every window goes.
        if (!doc->SaveModified()) {
            event->ignore();
            return;
        }
        closingScript_ = true;
        doc->CloseCompileErrorDialog();
        if (closeScript)
            closeScript(*doc);
        else
            doc->CloseAllFrames();
        closingScript_ = false;
        doc_ = nullptr;
        PlacementFrame::closeEvent(event);
        return;
    }
    if (!MayCloseScriptWindow(*doc, static_cast<const pq::MdiChildFrame*>(this))) {
        event->ignore();
        return;
    }
    // The script may go with its last window.
    doc_ = nullptr;
    PlacementFrame::closeEvent(event);
}

VelmoraTemplates::VelmoraTemplates(QMdiArea& area, const pq::ViewRegistry& views,
                                   pq::MdiDocTemplate::DocumentFactory images) {
    if (!images)
        images = [] { return std::make_unique<CDatDoc>(); };
    for (const TemplateRow& row : kTemplateTable) {
        const FrameKind* kind = FindFrameKind(row.frameClass);
        const bool script = std::string_view(row.document) == "CVLDoc";
        const int index = int(templates_.size());
        // The frames of a sequence's events keep their placement in the sequence.
        const std::string_view viewClass = row.viewClass;
        const QSize sequenceFrame = viewClass == kEventEditorKind.className ? kEventFrameSize
                                    : viewClass == kTimelineKind.className  ? kTimelineFrameSize
                                                                            : QSize();
        pq::MdiDocTemplate::FrameFactory frames =
            [this, kind, script, index,
             sequenceFrame](platform::Document& document) -> pq::MdiChildFrame* {
            pq::MdiChildFrame* frame = nullptr;
            if (!script) {
                if (!dynamic_cast<CDatDoc*>(&document))
                    return nullptr;
                frame = new pq::MdiChildFrame; // owned by the area once the template adds it
            } else {
                auto* doc = dynamic_cast<CVLDoc*>(&document);
                if (!doc)
                    return nullptr;
                if (sequenceFrame.isValid()) {
                    if (!doc->m_posCurrentSeq || !mainFrame)
                        return nullptr;
                    frame =
                        new SequenceFrame(*doc, *doc->m_posCurrentSeq, sequenceFrame, *mainFrame);
                    frame->canClose = [doc, frame] {
                        return MayCloseScriptWindow(*doc,
                                                    static_cast<const pq::MdiChildFrame*>(frame));
                    };
                } else if (kind) {
                    auto* remember = new CMDIChildRememberWnd(*doc, *kind, closingScript_);
                    remember->closeScript = [this](CVLDoc& d) {
                        if (closeScript)
                            closeScript(d);
                        else
                            d.CloseAllFrames();
                    };
                    frame = remember;
                } else {
                    frame = new pq::MdiChildFrame;
                    frame->canClose = [doc, frame] {
                        return MayCloseScriptWindow(*doc,
                                                    static_cast<const pq::MdiChildFrame*>(frame));
                    };
                }
            }
            if (frameMade)
                frameMade(*frame, templates_[std::size_t(index)]->Resources(), script);
            return frame;
        };
        auto tmpl = std::make_unique<pq::MdiDocTemplate>(area, views, ResourcesOf(row.id),
                                                         row.viewClass, std::move(frames));
        if (script)
            tmpl->lastViewClosed = [this](platform::Document& document) {
                if (lastWindowClosed)
                    lastWindowClosed(static_cast<CVLDoc&>(document));
            };
        if (viewClass == kImageKind.className)
            tmpl->SetDocumentFactory(images, "Script", ".dat");
        templates_.push_back(std::move(tmpl));
    }
    scriptFrames_ = std::make_unique<ScriptFrameFactory>(*Get(kSequenceListKind));
}

pq::MdiDocTemplate* VelmoraTemplates::Get(const ViewKind& kind) const {
    for (std::size_t i = 0; i < kTemplateTable.size(); ++i)
        if (kind.className == kTemplateTable[i].viewClass)
            return templates_[i].get();
    return nullptr;
}

CDatDoc* VelmoraTemplates::UploadDatFromUnit() {
    for (std::size_t i = 0; i < kTemplateTable.size(); ++i) {
        if (!kTemplateTable[i].registered)
            continue;
        pq::MdiDocTemplate& tmpl = *templates_[i];
        if (!platform::EqualsNoCase(tmpl.FilterExtension(), ".DAT"))
            continue;
        auto* doc = dynamic_cast<CDatDoc*>(tmpl.OpenDocumentFile(""));
        // The retrieval is asked of the document opened here, never of whichever is active.
        if (doc)
            doc->RequestRetrieve();
        return doc;
    }
    return nullptr;
}

pq::MdiChildFrame* ScriptFrameFactory::FrameOf(CVLDoc& doc) const {
    for (platform::View* view : doc.Views()) {
        auto* framed = dynamic_cast<pq::FramedView*>(view);
        if (framed && framed->Frame() && framed->Frame()->docTemplate == &template_)
            return framed->Frame();
    }
    return nullptr;
}

bool ScriptFrameFactory::CreateFrame(CVLDoc& doc) {
    return template_.CreateNewFrame(doc) != nullptr;
}

void ScriptFrameFactory::DestroyFrames(CVLDoc& doc) {
    std::vector<platform::View*> views = doc.Views();
    for (platform::View* view : views) {
        auto* framed = dynamic_cast<pq::FramedView*>(view);
        if (!framed || !framed->Frame())
            continue;
        pq::MdiChildFrame* frame = framed->Frame();
        // Gone for good: no question, no close rule, no callback into the document.
        frame->canClose = nullptr;
        frame->closed = nullptr;
        doc.RemoveView(view);
        framed->SetFrame(nullptr);
        if (auto* remember = dynamic_cast<CMDIChildRememberWnd*>(frame))
            remember->Detach();
        // A frame that is still hidden or deleted later gets state and size changes after its
        // script (and a sequence frame's sequence) is gone: its placement is no longer kept.
        if (auto* placed = dynamic_cast<pq::PlacementFrame*>(frame)) {
            placed->savePlacement = nullptr;
            placed->storedPlacement = nullptr;
        }
        if (!frame->isVisible()) {
            // Never shown (a file that did not open): nothing of it runs, it goes now.
            delete frame;
            continue;
        }
        // The frame may be the one whose close is running (the sequence list closing its
        // script): it goes once that has returned.
        frame->hide();
        frame->deleteLater();
    }
}

void ScriptFrameFactory::InitialUpdateFrame(CVLDoc& doc, bool visible) {
    if (pq::MdiChildFrame* frame = FrameOf(doc))
        template_.InitialUpdateFrame(*frame, visible);
}
