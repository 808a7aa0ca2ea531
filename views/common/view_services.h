// What the program gives every view it makes, with the view's document: the frames of the other
// views, the print dialogs, the settings the views read and the numbers of their grids. A view
// keeps the services it was made with and looks nothing up afterwards.
#pragma once

#include "platform/document.h"
#include "platform/qt/mdi_template.h"
#include "views/gridbase/print_services.h"

#include <string>

class CSeq;
class CVLDoc;
struct ViewKind;

// The General settings that change what the views show.
struct ViewSettings {
    bool eventsInFrames = false;
    bool timecodeStartAdded = true;
    bool alwaysPopupEventList = true;
    bool spreadsheetHints = true;
    int popupDelay = 18; // ticks of 55 ms
};

class ViewServices {
public:
    virtual ~ViewServices() = default;
    // Brings forward the view of kind `kind` that shows `subject` of `doc` (a sequence; null for
    // the views of the whole script), or opens one through the template of that kind. Answers
    // the view, null when none could be made.
    virtual platform::View* OpenView(CVLDoc& doc, const ViewKind& kind, CSeq* subject) = 0;
    // Opens a new frame of kind `kind` on `doc` whatever is open already (the view reads the
    // document's sequence-to-open position in its first update). Answers the view, null when
    // none could be made.
    virtual platform::View* OpenNewView(CVLDoc& doc, const ViewKind& kind) = 0;
    virtual views::PrintServices& Printing() = 0;
    virtual ViewSettings Settings() const = 0;
    // The number of the next grid a view creates.
    virtual int NextGridId() = 0;
    // Sets how event times are shown ("View Events", "View Events Start Timecode") for every
    // script and writes the settings.
    virtual void SetTimeDisplay(bool eventsInFrames, bool timecodeStartAdded) = 0;
    // Clears "View Events Start Timecode" in memory only (a sequence's timecode mode Internal).
    virtual void ClearTimecodeStartAdded() = 0;
    // Opens the contents of the program's help.
    virtual void OpenHelp() = 0;
};

// Registers a view class whose factory makes `View(doc, services)` for documents of type `Doc`;
// a document of another type gets no view.
template <typename View, typename Doc>
void RegisterTypedView(platform::qt::ViewRegistry& registry, const std::string& viewClass,
                       ViewServices& services) {
    registry.RegisterView(
        viewClass,
        [&services](platform::Document& document, QWidget*) -> platform::qt::CreatedView {
            auto* doc = dynamic_cast<Doc*>(&document);
            if (!doc)
                return {};
            auto* view = new View(*doc, services); // owned by its frame
            return {view, view};
        });
}
