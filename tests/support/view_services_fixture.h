// The program's services for views made without the program: the other views asked for are
// recorded (and opened by `opener` when one is set), printing goes through `printing`, the
// settings are `settings`, grids are numbered from `nextGridId`.
#pragma once

#include "script/view_kind.h"
#include "views/common/view_services.h"

#include <functional>
#include <utility>
#include <vector>

namespace testing_support {

struct TestViewServices : ViewServices {
    platform::View* OpenView(CVLDoc& doc, const ViewKind& kind, CSeq* subject) override {
        opened.emplace_back(&kind, subject);
        return opener ? opener(doc, kind, subject) : nullptr;
    }
    platform::View* OpenNewView(CVLDoc& doc, const ViewKind& kind) override {
        opened.emplace_back(&kind, nullptr);
        return opener ? opener(doc, kind, nullptr) : nullptr;
    }
    views::PrintServices& Printing() override { return printing; }
    ViewSettings Settings() const override { return settings; }
    int NextGridId() override { return nextGridId++; }
    void SetTimeDisplay(bool eventsInFrames, bool timecodeStartAdded) override {
        settings.eventsInFrames = eventsInFrames;
        settings.timecodeStartAdded = timecodeStartAdded;
        ++settingsSaved;
    }
    void ClearTimecodeStartAdded() override { settings.timecodeStartAdded = false; }
    void OpenHelp() override { ++helpOpened; }

    views::PrintServices printing;
    ViewSettings settings;
    int nextGridId = 1000;
    int settingsSaved = 0;
    int helpOpened = 0;
    // The kinds asked for, and the sequence each shows.
    std::vector<std::pair<const ViewKind*, CSeq*>> opened;
    std::function<platform::View*(CVLDoc&, const ViewKind&, CSeq*)> opener;
};

} // namespace testing_support
