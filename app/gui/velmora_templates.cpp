#include "app/gui/velmora_templates.h"

#include "link/dat_doc.h"
#include "platform/paths.h"
#include "platform/qt/qt_ui_services.h"

#include <QCloseEvent>
#include <QMdiArea>

namespace pq = platform::qt;

namespace {

constexpr FrameKind kFrameKinds[] = {
    {"CSeqListMDIChildWnd", QSize(630, 230), CVLDoc::kWinSequenceList},
    {"CInputMDIChildWnd", QSize(550, 400), CVLDoc::kWinInput},
    {"COutputMDIChildWnd", QSize(550, 400), CVLDoc::kWinOutput},
    {"CFlagMDIChildWnd", QSize(550, 400), CVLDoc::kWinFlag},
    {"CVarMDIChildWnd", QSize(550, 400), CVLDoc::kWinVar},
    {"CPortMDIChildWnd", QSize(775, 425), CVLDoc::kWinPort},
    {"CDataStrMDIChildWnd", QSize(780, 400), CVLDoc::kWinDataString},
    {"CLcdStrMDIChildWnd", QSize(780, 400), CVLDoc::kWinLcdString},
    {"CCompileMDIChildWnd", QSize(790, 500), CVLDoc::kWinCompile},
};

// Set while a sequence list closes its script, so the frames it closes do not start again.
bool g_closingScript = false;

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
    // The kinds with an icon of their own, from the desktop's icon theme.
    const char* icon = nullptr;
    switch (id) {
    case 3:
        icon = "text-x-script";
        break;
    case 4:
        icon = "run-build";
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

CMDIChildRememberWnd::CMDIChildRememberWnd(CVLDoc& doc, const FrameKind& kind)
    : PlacementFrame(kind.defaultSize), doc_(&doc), kind_(kind) {
    storedPlacement = [this] { return StoredPlacement(); };
    savePlacement = [this](const pq::PlacementRecord& record) { SavePlacement(record); };
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
    if (doc_)
        doc_->UpdateViewTitles();
}

void CMDIChildRememberWnd::InitialShow() {
    UpdateTitle();
    PlacementFrame::InitialShow();
}

void CMDIChildRememberWnd::closeEvent(QCloseEvent* event) {
    const bool compile = kind_.windowKind == CVLDoc::kWinCompile;
    const bool sequences = kind_.windowKind == CVLDoc::kWinSequenceList;
    if (doc_ && (compile || (sequences && !g_closingScript)) && doc_->m_nCompileRunning) {
        // A running compile is stopped, never orphaned: the window stays.
        doc_->m_nAbortRequested = 1;
        event->ignore();
        return;
    }
    if (doc_ && sequences && !g_closingScript) {
        // The sequence list stands for the script: every window of it closes.
        CVLDoc& doc = *doc_;
        g_closingScript = true;
        doc.CloseCompileErrorDialog();
        bool closing = true;
        if (closeScript)
            closing = closeScript(doc);
        else
            doc.CloseAllFrames();
        g_closingScript = false;
        if (!closing) {
            // The script's close was refused (the user kept it open).
            event->ignore();
            return;
        }
    }
    PlacementFrame::closeEvent(event);
}

VelmoraTemplates::VelmoraTemplates(QMdiArea& area, const pq::ViewRegistry& views) {
    for (const TemplateRow& row : kTemplateTable) {
        const FrameKind* kind = FindFrameKind(row.frameClass);
        const bool script = std::string_view(row.document) == "CVLDoc";
        pq::MdiDocTemplate::FrameFactory frames =
            [this, kind, script](platform::Document& document) -> pq::MdiChildFrame* {
            if (!script)
                return dynamic_cast<CDatDoc*>(&document) ? new pq::MdiChildFrame : nullptr;
            auto* doc = dynamic_cast<CVLDoc*>(&document);
            if (!doc)
                return nullptr;
            if (!kind)
                return new pq::MdiChildFrame;
            auto* frame = new CMDIChildRememberWnd(*doc, *kind);
            frame->closeScript = [this](CVLDoc& d) {
                if (closeScript)
                    return closeScript(d);
                d.CloseAllFrames();
                return true;
            };
            return frame;
        };
        auto tmpl = std::make_unique<pq::MdiDocTemplate>(area, views, ResourcesOf(row.id),
                                                         row.viewClass, std::move(frames));
        if (std::string_view(row.member) == "m_pDatTmp")
            tmpl->SetDocumentFactory([] { return std::make_unique<CDatDoc>(); }, "Script", ".dat");
        templates_.push_back(std::move(tmpl));
    }
}

pq::MdiDocTemplate* VelmoraTemplates::Get(std::string_view member) const {
    for (std::size_t i = 0; i < kTemplateTable.size(); ++i)
        if (member == kTemplateTable[i].member)
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
