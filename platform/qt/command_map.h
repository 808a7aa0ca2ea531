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

    // Declares the handler of `id` (replacing any earlier one) and answers the map.
    CommandMap& On(unsigned id, Handler run, Updater update = {});
    bool Has(unsigned id) const { return entries_.count(id) != 0; }
    // Runs the handler of `id`; false when there is none.
    bool Run(unsigned id) const;
    // Runs the update of `id`; false when it has none (a handled command is then enabled by
    // the routing's default).
    bool Update(unsigned id, CommandUi& ui) const;

private:
    struct Entry {
        Handler run;
        Updater update;
    };
    std::map<unsigned, Entry> entries_;
};

} // namespace platform::qt
