// Command routing of the GUI: every command has a numeric id and travels view -> document ->
// child frame -> main frame -> application, each a CommandTarget. A target answers for its own
// handlers; a target that forwards (a frame) overrides OnCmdMsg to ask the others in order.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

namespace platform::qt {

// The update object of one command: what the handlers set is applied by the subclass.
class CommandUi {
public:
    explicit CommandUi(unsigned id = 0) : id_(id) {}
    virtual ~CommandUi() = default;
    unsigned Id() const { return id_; }
    void SetId(unsigned id) { id_ = id; }

    virtual void Enable(bool on = true) = 0;
    virtual void SetCheck(int state = 1) = 0;
    virtual void SetRadio(bool on = true) { SetCheck(on ? 1 : 0); }
    virtual void SetText(const QString& text) = 0;

    // Set by Enable(): an update handler ran and decided the enabled state.
    bool enableChanged = false;

private:
    unsigned id_;
};

// The record of a control's execute notification (code 100): the handler may set the result;
// a non-zero result tells the control that the command was taken and sends no plain command.
struct ControlNotify {
    unsigned id = 0;
    int code = 0;
    void* control = nullptr;
    long result = 0;
};

inline constexpr int kNotifyExecute = 100;

// One routed message: a command, an update, a notification, or a probe that only asks whether
// some target would handle the command (nothing executes).
struct CommandMessage {
    enum Kind { Command, Update, Notify, Probe };
    Kind kind = Command;
    unsigned id = 0;
    CommandUi* ui = nullptr;
    ControlNotify* notify = nullptr;
};

class CommandTarget {
public:
    virtual ~CommandTarget() = default;

    // This target's own handlers; each answers true when it handled the message.
    virtual bool OnCommand(unsigned id);
    virtual bool OnUpdateCommand(unsigned id, CommandUi& ui);
    virtual bool OnNotify(unsigned id, ControlNotify& notify);
    // True when OnCommand has a handler for the id (used without executing it).
    virtual bool HasCommandHandler(unsigned id) const;

    // Routing: the default asks this target only; frames override it to pass the message on.
    virtual bool OnCmdMsg(CommandMessage& msg);

    // Helpers over OnCmdMsg.
    bool RouteCommand(unsigned id);
    bool RouteUpdate(unsigned id, CommandUi& ui);
    bool RouteNotify(unsigned id, ControlNotify& notify);
    bool HasHandler(unsigned id);

    // The standard update of one command: routes the update; when no target handled it and
    // disableIfNoHandler is set, the command is enabled exactly when some target handles it.
    // Answers whether the update was handled.
    bool DoUpdate(CommandUi& ui, bool disableIfNoHandler);
};

// Delivers a control's execution to a target: first as the notification (code 100) with the
// result slot at 0; when no handler takes it or the handler leaves the result at 0, as a plain
// command. Answers the notification's result (non-zero: the command was sent once only).
long ExecuteControlCommand(CommandTarget& target, unsigned id, void* control);

// Runs registered idle passes when the event loop is about to block, at most once per batch of
// events (the pass is queued by any event and served on the next aboutToBlock).
class IdleUpdater : public QObject {
public:
    using Pass = std::function<void()>;
    static IdleUpdater& Instance();
    // Registers a pass for an owner; the owner removes it before it dies.
    void Add(const void* owner, Pass pass);
    void Remove(const void* owner);
    // Runs every pass now (tests call this directly).
    void RunNow();
    bool Pending() const { return pending_; }
    void Request() { pending_ = true; }

private:
    IdleUpdater();
    void OnAboutToBlock();
    struct Entry {
        const void* owner;
        Pass pass;
    };
    std::vector<Entry> passes_;
    bool pending_ = true;
    bool running_ = false;
    bool connected_ = false;
    void Connect();
};

} // namespace platform::qt
