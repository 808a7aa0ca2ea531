// Velmora's fifteen document templates in the order start-up makes them, and the child frames
// of a script's windows: each kind keeps its placement in the script, titles itself through
// the script, and has its own close rule (the compile window stays open while its compile
// runs; the sequence list closes the whole script).
#pragma once

#include "app/my_multi_doc_template.h"
#include "platform/qt/mdi_template.h"
#include "platform/qt/placement.h"
#include "script/vl_doc.h"

#include <QSize>
#include <array>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

class CDatDoc;
class QMdiArea;

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

// A kind of script window that remembers its placement in the script.
struct FrameKind {
    const char* frameClass;
    QSize defaultSize;
    int windowKind; // CVLDoc::WindowKind of its record
};
// The kind of a frame class, or null for frames that keep no placement in the script.
const FrameKind* FindFrameKind(std::string_view frameClass);
// What resource id `id` brings: a menu (3, 4, 6, 146-149), accelerators (3, 147, 149).
platform::qt::TemplateResources ResourcesOf(int id);

// The child frame of a script's window: placement kept in the script's record of its kind.
class CMDIChildRememberWnd : public platform::qt::PlacementFrame {
public:
    CMDIChildRememberWnd(CVLDoc& doc, const FrameKind& kind);
    CVLDoc* Document() const { return doc_; }
    // The script is going: the frame forgets it.
    void Detach() { doc_ = nullptr; }
    const FrameKind& Kind() const { return kind_; }

    // The record of the kind as the script holds it.
    platform::qt::PlacementRecord StoredPlacement() const;
    void SavePlacement(const platform::qt::PlacementRecord& record);
    void UpdateTitle();
    void InitialShow() override;
    // Closing the sequence list closes the script: the main frame says how.
    // Answers false when the user kept the script open.
    std::function<bool(CVLDoc&)> closeScript;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CVLDoc* doc_;
    const FrameKind& kind_;
};

// The fifteen templates on one MDI area, sharing one view registry.
class VelmoraTemplates {
public:
    VelmoraTemplates(QMdiArea& area, const platform::qt::ViewRegistry& views);
    // The template of a member name ("m_pInputTmp"), or null.
    platform::qt::MdiDocTemplate* Get(std::string_view member) const;
    const std::vector<std::unique_ptr<platform::qt::MdiDocTemplate>>& All() const {
        return templates_;
    }
    // The registered templates, in order, that make their own documents (the compiled image).
    // "Upload DAT from Unit": a new untitled image through the first registered template whose
    // filter is ".dat" (any case), marked to receive the controller's image; null when none.
    CDatDoc* UploadDatFromUnit();
    // How the sequence list's close closes its script (passed to every such frame made).
    // Answers false when the user kept the script open.
    std::function<bool(CVLDoc&)> closeScript;

private:
    std::vector<std::unique_ptr<platform::qt::MdiDocTemplate>> templates_;
};

// The script template's frames for the core's script template (which makes, numbers and owns
// the scripts): the first frame of a script is the sequence list of template id 3.
class ScriptFrameFactory : public DocFrameFactory {
public:
    explicit ScriptFrameFactory(platform::qt::MdiDocTemplate& scriptTemplate)
        : template_(scriptTemplate) {}
    bool CreateFrame(CVLDoc& doc) override;
    void DestroyFrames(CVLDoc& doc) override;
    void InitialUpdateFrame(CVLDoc& doc, bool visible) override;

private:
    platform::qt::MdiChildFrame* FrameOf(CVLDoc& doc) const;
    platform::qt::MdiDocTemplate& template_;
};
