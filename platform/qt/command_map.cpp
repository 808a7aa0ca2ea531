#include "platform/qt/command_map.h"

namespace platform::qt {

CommandMap& CommandMap::On(unsigned id, Handler run, Updater update) {
    Query query;
    if (update)
        query = [update = std::move(update)](CommandUi& ui) {
            update(ui);
            return true;
        };
    entries_[id] = Entry{std::move(run), std::move(query)};
    return *this;
}

CommandMap& CommandMap::OnUpdate(unsigned id, Query update) {
    entries_[id].update = std::move(update);
    return *this;
}

bool CommandMap::Has(unsigned id) const {
    const auto it = entries_.find(id);
    return it != entries_.end() && it->second.run;
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
    return it->second.update(ui);
}

} // namespace platform::qt
