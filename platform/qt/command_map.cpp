#include "platform/qt/command_map.h"

namespace platform::qt {

CommandMap& CommandMap::On(unsigned id, Handler run, Updater update) {
    entries_[id] = Entry{std::move(run), std::move(update)};
    return *this;
}

bool CommandMap::Run(unsigned id) const {
    const auto it = entries_.find(id);
    if (it == entries_.end() || !it->second.run)
        return false;
    // A copy: the command may redeclare its own handler while it runs.
    const Handler run = it->second.run;
    run();
    return true;
}

bool CommandMap::Update(unsigned id, CommandUi& ui) const {
    const auto it = entries_.find(id);
    if (it == entries_.end() || !it->second.update)
        return false;
    it->second.update(ui);
    return true;
}

} // namespace platform::qt
