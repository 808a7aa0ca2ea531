#include "platform/qt/command_target.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <algorithm>

namespace platform::qt {

bool CommandTarget::OnCommand(unsigned) {
    return false;
}
bool CommandTarget::OnUpdateCommand(unsigned, CommandUi&) {
    return false;
}
bool CommandTarget::OnNotify(unsigned, ControlNotify&) {
    return false;
}
bool CommandTarget::HasCommandHandler(unsigned) const {
    return false;
}

bool CommandTarget::OnCmdMsg(CommandMessage& msg) {
    switch (msg.kind) {
    case CommandMessage::Command:
        return OnCommand(msg.id);
    case CommandMessage::Update:
        return msg.ui && OnUpdateCommand(msg.id, *msg.ui);
    case CommandMessage::Notify:
        return msg.notify && OnNotify(msg.id, *msg.notify);
    case CommandMessage::Probe:
        return HasCommandHandler(msg.id);
    }
    return false;
}

bool CommandTarget::RouteCommand(unsigned id) {
    CommandMessage msg{CommandMessage::Command, id, nullptr, nullptr};
    return OnCmdMsg(msg);
}

bool CommandTarget::RouteUpdate(unsigned id, CommandUi& ui) {
    CommandMessage msg{CommandMessage::Update, id, &ui, nullptr};
    return OnCmdMsg(msg);
}

bool CommandTarget::RouteNotify(unsigned id, ControlNotify& notify) {
    CommandMessage msg{CommandMessage::Notify, id, nullptr, &notify};
    return OnCmdMsg(msg);
}

bool CommandTarget::HasHandler(unsigned id) {
    CommandMessage msg{CommandMessage::Probe, id, nullptr, nullptr};
    return OnCmdMsg(msg);
}

bool CommandTarget::DoUpdate(CommandUi& ui, bool disableIfNoHandler) {
    // Id 0 (a submenu, a separator) is no command.
    if (ui.Id() == 0)
        return false;
    ui.enableChanged = false;
    if (RouteUpdate(ui.Id(), ui))
        return true;
    if (disableIfNoHandler && !ui.enableChanged) {
        ui.Enable(HasHandler(ui.Id()));
        return true;
    }
    return false;
}

long ExecuteControlCommand(CommandTarget& target, unsigned id, void* control) {
    ControlNotify notify{id, kNotifyExecute, control, 0};
    long result = 0;
    if (target.RouteNotify(id, notify))
        result = notify.result;
    if (result == 0)
        target.RouteCommand(id);
    return result;
}

IdleUpdater::IdleUpdater() = default;

IdleUpdater& IdleUpdater::Instance() {
    static IdleUpdater* updater = new IdleUpdater; // lives to the end of the process
    return *updater;
}

void IdleUpdater::Connect() {
    if (connected_)
        return;
    auto* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher)
        return;
    connected_ = true;
    QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, this,
                     [this] { pending_ = true; });
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                     [this] { OnAboutToBlock(); });
}

void IdleUpdater::Add(const void* owner, Pass pass) {
    Connect();
    Remove(owner);
    passes_.push_back({owner, std::move(pass)});
    pending_ = true;
}

void IdleUpdater::Remove(const void* owner) {
    std::erase_if(passes_, [owner](const Entry& e) { return e.owner == owner; });
}

void IdleUpdater::OnAboutToBlock() {
    if (!pending_)
        return;
    RunNow();
}

void IdleUpdater::RunNow() {
    if (running_)
        return;
    running_ = true;
    pending_ = false;
    // A pass may add or remove passes: walk a copy of the owners and look each up again.
    std::vector<const void*> owners;
    for (const auto& e : passes_)
        owners.push_back(e.owner);
    for (const void* owner : owners) {
        auto it = std::find_if(passes_.begin(), passes_.end(),
                               [owner](const Entry& e) { return e.owner == owner; });
        if (it != passes_.end()) {
            Pass pass = it->pass;
            pass();
        }
    }
    running_ = false;
}

} // namespace platform::qt
