// What the core needs of the framework's document templates and modeless windows: a template
// that opens one more view of an existing document in a frame of its own, and the owner handle
// of a modeless window that a document keeps alive.
#pragma once

#include "platform/document.h"

namespace platform {

class ViewTemplate {
public:
    virtual ~ViewTemplate() = default;
    // Creates a frame with a view of `document`, attaches the view to the document and runs
    // its initial update. Answers the view (owned by its frame), or null when no frame could
    // be created.
    virtual View* CreateViewFrame(Document& document) = 0;
};

// A modeless window owned by a core object: destroying the handle destroys the window.
class ModelessWindow {
public:
    virtual ~ModelessWindow() = default;
};

} // namespace platform
