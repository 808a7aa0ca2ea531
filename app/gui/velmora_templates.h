// Velmora's fifteen document templates in the order start-up makes them, and the child frames
// of a script's windows: each kind keeps its placement in the script, takes its title from its
// view, and has its own close rule (the compile window stays open while its compile runs; the
// sequence list closes the whole script).
#pragma once

#include "app/gui/vl_resources.h"
#include "app/my_multi_doc_template.h"
#include "controls/commandbars/resources.h"
#include "platform/qt/command_target.h"
#include "platform/qt/mdi_template.h"
#include "platform/qt/placement.h"
#include "script/view_kind.h"
#include "script/vl_doc.h"

#include <QObject>
#include <QSize>
#include <array>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

class CDatDoc;
class QMdiArea;
class QMdiSubWindow;

struct TemplateRow {
    const char* member;
    int id;
    const char* document; // "CVLDoc" or "CDatDoc"
    const char* frameClass;
    const char* viewClass;
    bool registered;
};

inline constexpr std::array<TemplateRow, 15> kTemplateTable{{
    {"m_pScriptTmp", 3, "CVLDoc", "CSeqListMDIChildWnd", "CSeqListView", true},
    {"m_pDatTmp", 6, "CDatDoc", "CMDIChildWnd", "CDatView", true},
    {"m_pDatHexTmp", 6, "CDatDoc", "CMDIChildWnd", "CDatHexView", false},
    {"m_pInputTmp", 146, "CVLDoc", "CInputMDIChildWnd", "CInputView", false},
    {"m_pOutputTmp", 146, "CVLDoc", "COutputMDIChildWnd", "COutputView", false},
    {"m_pFlagTmp", 146, "CVLDoc", "CFlagMDIChildWnd", "CFlagView", false},
    {"m_pVarTmp", 146, "CVLDoc", "CVarMDIChildWnd", "CVarView", false},
    {"m_pPortTmp", 146, "CVLDoc", "CPortMDIChildWnd", "CPortView", false},
    {"m_pDataStrTmp", 148, "CVLDoc", "CDataStrMDIChildWnd", "CDataStrView", false},
    {"m_pLcdStrTmp", 148, "CVLDoc", "CLcdStrMDIChildWnd", "CLcdStrView", false},
    {"m_pEventTmp", 147, "CVLDoc", "CEvntMDIChildWnd", "CEvntView", false},
    {"m_pCompileTmp", 4, "CVLDoc", "CCompileMDIChildWnd", "CCompileView", false},
    {"m_pXRefTmp", 146, "CVLDoc", "CInputMDIChildWnd", "CXRefView", false},
    {"m_psmpteTmp", 146, "CVLDoc", "CInputMDIChildWnd", "CsmpteView", false},
    {"m_pTimeTmp", 149, "CVLDoc", "CFrTimeline", "CVwTimeline", false},
}};
static_assert(kTemplateTable[0].id == int(vl_ids::kScriptMenu));

// A kind of script window that remembers its placement in the script.
struct FrameKind {
    const char* frameClass;
    const char* titlePrefix; // the first title, for a view without one of its own
    QSize defaultSize;
    int windowKind; // CVLDoc::WindowKind of its record
};
// The kind of a frame class, or null for frames that keep no placement in the script.
const FrameKind* FindFrameKind(std::string_view frameClass);
// What resource id `id` brings: a menu (3, 4, 6, 146-149), accelerators (3, 147, 149).
platform::qt::TemplateResources ResourcesOf(int id);

// Whether a window of `doc` (`frame`, a View::FrameId) may close now. Its last window takes the
// script with it: that one asks to save a modified script, and stays while the script's compile
// or transfer runs, which is asked to stop instead.
bool MayCloseScriptWindow(CVLDoc& doc, const void* frame);

// The child frame of a script's window: placement kept in the script's record of its kind.
class CMDIChildRememberWnd : public platform::qt::PlacementFrame {
public:
    // `closingScript` is set while a sequence list closes its script, so that the frames it
    // closes do not start the close again; the owner of the frames keeps it.
    CMDIChildRememberWnd(CVLDoc& doc, const FrameKind& kind, bool& closingScript);
    CVLDoc* Document() const { return doc_; }
    // The script is going: the frame forgets it.
    void Detach() { doc_ = nullptr; }
    const FrameKind& Kind() const { return kind_; }

    // The record of the kind as the script holds it.
    platform::qt::PlacementRecord StoredPlacement() const;
    void SavePlacement(const platform::qt::PlacementRecord& record);
    // The title its view gives it; until a view without one of its own is titled by the
    // script, the kind's prefix and the script's name.
    void UpdateTitle();
    void InitialShow() override;
    // How the sequence list's close closes its script once the user has agreed: the owner of
    // the scripts closes it, which destroys its frames. Without one, every frame is closed.
    std::function<void(CVLDoc&)> closeScript;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CVLDoc* doc_;
    const FrameKind& kind_;
    bool& closingScript_;
};

// The script template's frames for the core's script template (which makes, numbers and owns
// the scripts): the first frame of a script is the sequence list of template id 3.
class ScriptFrameFactory : public DocFrameFactory {
public:
    explicit ScriptFrameFactory(platform::qt::MdiDocTemplate& scriptTemplate)
        : template_(scriptTemplate) {}
    bool CreateFrame(CVLDoc& doc) override;
    // Every frame of the script goes, without a question or a close rule.
    void DestroyFrames(CVLDoc& doc) override;
    void InitialUpdateFrame(CVLDoc& doc, bool visible) override;

private:
    platform::qt::MdiChildFrame* FrameOf(CVLDoc& doc) const;
    platform::qt::MdiDocTemplate& template_;
};

// The fifteen templates on one MDI area, sharing one view registry.
class VelmoraTemplates {
public:
    // `images` makes the compiled images the image template opens (plain ones without it).
    VelmoraTemplates(QMdiArea& area, const platform::qt::ViewRegistry& views,
                     platform::qt::MdiDocTemplate::DocumentFactory images = {});
    // The template that shows views of `kind`, or null.
    platform::qt::MdiDocTemplate* Get(const ViewKind& kind) const;
    const std::vector<std::unique_ptr<platform::qt::MdiDocTemplate>>& All() const {
        return templates_;
    }
    // The frames the core's script template makes through m_pScriptTmp.
    DocFrameFactory& ScriptFrames() { return *scriptFrames_; }
    // The registered templates, in order, that make their own documents (the compiled image).
    // "Upload DAT from Unit": a new untitled image through the first registered template whose
    // filter is ".dat" (any case), marked to receive the controller's image; null when none.
    CDatDoc* UploadDatFromUnit();

    // How the sequence list's close closes its script (see CMDIChildRememberWnd).
    std::function<void(CVLDoc&)> closeScript;
    // The main frame, whose routing the event and timeline frames' bars take; they are made
    // only once it is set.
    platform::qt::CommandTarget* mainFrame = nullptr;
    // Told when the last window of a script has closed: the owner closes the script.
    std::function<void(CVLDoc&)> lastWindowClosed;
    // Told of every frame a template makes, before it first shows: the template's resources
    // and whether the frame shows a script.
    std::function<void(platform::qt::MdiChildFrame& frame,
                       const platform::qt::TemplateResources& resources, bool script)>
        frameMade;

private:
    std::vector<std::unique_ptr<platform::qt::MdiDocTemplate>> templates_;
    std::unique_ptr<ScriptFrameFactory> scriptFrames_;
    // Set while a sequence list closes its script (see CMDIChildRememberWnd).
    bool closingScript_ = false;
};
