// The tools a program offers beside its views: a modal tool that works on the active document
// (a cue list, a wizard), registered under its command id by the library that brings it, as
// views are. The main frame offers a registered tool's command and disables one without a tool.
#pragma once

#include "platform/document.h"

#include <functional>
#include <map>
#include <vector>

class QWidget;

namespace platform::qt {

class ToolRegistry {
public:
    struct Tool {
        // Whether the tool works on `document` (the active one).
        std::function<bool(Document& document)> accepts;
        // Runs the tool on an accepted document, its dialogs owned by `parent`.
        std::function<void(Document& document, QWidget* parent)> run;
        // The command is greyed while no accepted document is active; otherwise it stays
        // offered and its owner says that it failed.
        bool greyedWithoutDocument = true;
    };

    // Registers (or replaces) the tool of command `id`.
    void Register(unsigned id, Tool tool);
    // A tool on documents of type `Doc`.
    template <typename Doc>
    void Register(unsigned id, std::function<void(Doc&, QWidget*)> run,
                  bool greyedWithoutDocument = true) {
        Register(id, Tool{[](Document& d) { return dynamic_cast<Doc*>(&d) != nullptr; },
                          [run = std::move(run)](Document& d, QWidget* parent) {
                              run(static_cast<Doc&>(d), parent);
                          },
                          greyedWithoutDocument});
    }
    void Unregister(unsigned id) { tools_.erase(id); }
    // The tool of `id`, or null.
    const Tool* Find(unsigned id) const;
    std::vector<unsigned> Ids() const;

private:
    std::map<unsigned, Tool> tools_;
};

} // namespace platform::qt
