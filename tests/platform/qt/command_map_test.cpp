// A target whose commands come from one map: what is declared runs and is offered, its update
// decides the item, and what is not declared reaches no handler of the target.
#include "platform/qt/app_commands.h"
#include "platform/qt/command_map.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct RecordingUi : platform::qt::CommandUi {
    using CommandUi::CommandUi;
    void Enable(bool on) override {
        enableChanged = true;
        enabled = on;
    }
    void SetCheck(int state) override { check = state; }
    void SetText(const QString& text) override { this->text = text; }
    bool enabled = false;
    int check = 0;
    QString text;
};

class MappedTarget : public platform::qt::CommandTarget {
public:
    MappedTarget() {
        commands.On(10, [this] { ran.push_back(10); })
            .On(
                11, [this] { ran.push_back(11); },
                [this](platform::qt::CommandUi& ui) {
                    ui.Enable(on);
                    ui.SetCheck(1);
                });
    }
    bool OnCommand(unsigned id) override { return commands.Run(id); }
    bool OnUpdateCommand(unsigned id, platform::qt::CommandUi& ui) override {
        return commands.Update(id, ui);
    }
    bool HasCommandHandler(unsigned id) const override { return commands.Has(id); }

    platform::qt::CommandMap commands;
    std::vector<unsigned> ran;
    bool on = false;
};

TEST(CommandMap, DeclaredOnceTheCommandRunsIsOfferedAndUpdated) {
    MappedTarget target;
    struct Case {
        unsigned id;
        bool handled, enabled;
        int check;
    };
    for (const Case c :
         {Case{10, true, true, 0}, Case{11, true, false, 1}, Case{12, false, false, 0}}) {
        RecordingUi ui(c.id);
        target.DoUpdate(ui, true);
        EXPECT_EQ(ui.enabled, c.enabled) << c.id;
        EXPECT_EQ(ui.check, c.check) << c.id;
        EXPECT_EQ(target.RouteCommand(c.id), c.handled) << c.id;
    }
    EXPECT_EQ(target.ran, (std::vector<unsigned>{10, 11}));
    target.on = true;
    RecordingUi ui(11);
    target.DoUpdate(ui, true);
    EXPECT_TRUE(ui.enabled);
}

// An update that only sets a check passes the command on: a command with a handler is then
// enabled by the routing, one without a handler (an update alone) is neither offered nor run.
TEST(CommandMap, AnUpdateThatPassesOnLeavesTheEnablingToTheRouting) {
    MappedTarget target;
    bool decide = false;
    const auto query = [&decide](platform::qt::CommandUi& ui) {
        ui.SetCheck(1);
        if (decide)
            ui.Enable(false);
        return decide;
    };
    target.commands.OnUpdate(10, query).OnUpdate(13, query);
    struct Case {
        unsigned id;
        bool decides, handled, enabled;
    };
    for (const Case c : {Case{10, false, true, true}, Case{13, false, false, false},
                         Case{10, true, true, false}, Case{13, true, false, false}}) {
        decide = c.decides;
        RecordingUi ui(c.id);
        ui.enabled = true;
        EXPECT_EQ(target.RouteUpdate(c.id, ui), c.decides) << c.id;
        target.DoUpdate(ui, true);
        EXPECT_EQ(ui.check, 1) << c.id;
        EXPECT_EQ(ui.enabled, c.enabled) << c.id << " " << c.decides;
        EXPECT_EQ(target.HasHandler(c.id), c.handled) << c.id;
    }
    // The update kept the handler declared before it.
    EXPECT_TRUE(target.RouteCommand(10));
    EXPECT_FALSE(target.RouteCommand(13));
    EXPECT_EQ(target.ran, (std::vector<unsigned>{10}));
}

// A main frame's application commands: the map's own, and one per recent file while the list
// is that long; a recent file's command opens a copy of its path, however the open changes the
// list.
TEST(AppCommands, RecentFileCommandsFollowTheListAndOpenACopyOfThePath) {
    CRecentFileList recent;
    recent.Add("/shows/b.ksf");
    recent.Add("/shows/a.ksf");
    std::vector<std::string> opened;
    platform::qt::AppCommands commands(recent, 100, 103, [&](const std::string& path) {
        opened.push_back(path);
        recent.Remove(path); // the open drops the entry: the path given must outlive it
    });
    std::vector<unsigned> ran;
    commands.Commands().On(7, [&ran] { ran.push_back(7); });
    struct Case {
        unsigned id;
        bool handled;
    };
    for (const Case c : {Case{7, true}, Case{8, false}, Case{100, true}, Case{101, true},
                         Case{102, false}, Case{103, false}})
        EXPECT_EQ(commands.HasCommandHandler(c.id), c.handled) << c.id;
    RecordingUi ui(100);
    commands.DoUpdate(ui, true);
    EXPECT_TRUE(ui.enabled);
    EXPECT_TRUE(commands.RouteCommand(101));
    EXPECT_TRUE(commands.RouteCommand(7));
    EXPECT_FALSE(commands.RouteCommand(101)) << "one entry left";
    EXPECT_EQ(opened, (std::vector<std::string>{"/shows/b.ksf"}));
    EXPECT_EQ(ran, (std::vector<unsigned>{7}));
    EXPECT_EQ(platform::qt::RecentFilePaths(recent), (QStringList{"/shows/a.ksf"}));
}

} // namespace
