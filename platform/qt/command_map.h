// A command target's handlers, each declared once beside the code it runs: the id, what the
// command does and, where the command is not simply enabled, its update.
#pragma once

#include "platform/qt/command_target.h"

#include <functional>
#include <map>

namespace platform::qt {

class CommandMap {
public:
    using Handler = std::function<void()>;
    using Updater = std::function<void(CommandUi&)>;
    // An update that may leave the command to the targets after this one: it answers false
    // when it only set a check or a text, or has nothing to say now.
    using Query = std::function<bool(CommandUi&)>;

    // Declares the handler of `id` (replacing any earlier one) and answers the map.
    CommandMap& On(unsigned id, Handler run, Updater update = {});
    // Declares the update of `id`, keeping its handler (if any).
    CommandMap& OnUpdate(unsigned id, Query update);
    bool Has(unsigned id) const;
    // Runs the handler of `id`; false when there is none.
    bool Run(unsigned id) const;
    // Runs the update of `id`; false when it has none (a handled command is then enabled by
    // the routing's default) or its query passed the command on.
    bool Update(unsigned id, CommandUi& ui) const;

private:
    struct Entry {
        Handler run;
        Query update;
    };
    std::map<unsigned, Entry> entries_;
};

} // namespace platform::qt
