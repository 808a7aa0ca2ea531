// The program's services for views made without the program: the other views asked for are
// recorded (and opened by `opener` when one is set), printing goes through `printing`, the
// settings are `settings`, grids are numbered from `nextGridId`.
#pragma once

#include "views/common/view_services.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testing_support {

struct TestViewServices : ViewServices {
    platform::View* OpenView(CVLDoc& doc, std::string_view member, CSeq* subject) override {
        opened.emplace_back(std::string(member), subject);
        return opener ? opener(doc, member, subject) : nullptr;
    }
    platform::View* OpenNewView(CVLDoc& doc, std::string_view member) override {
        opened.emplace_back(std::string(member), nullptr);
        return opener ? opener(doc, member, nullptr) : nullptr;
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
    std::vector<std::pair<std::string, CSeq*>> opened;
    std::function<platform::View*(CVLDoc&, std::string_view, CSeq*)> opener;
};

} // namespace testing_support
