#include "platform/qt/tool_registry.h"

namespace platform::qt {

void ToolRegistry::Register(unsigned id, Tool tool) {
    if (tool.run)
        tools_[id] = std::move(tool);
    else
        tools_.erase(id);
}

const ToolRegistry::Tool* ToolRegistry::Find(unsigned id) const {
    const auto it = tools_.find(id);
    return it != tools_.end() ? &it->second : nullptr;
}

std::vector<unsigned> ToolRegistry::Ids() const {
    std::vector<unsigned> ids;
    for (const auto& [id, tool] : tools_)
        ids.push_back(id);
    return ids;
}

} // namespace platform::qt
