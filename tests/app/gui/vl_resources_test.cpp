// The menus, accelerators and strings of the main window and its template windows.
#include "app/gui/velmora_templates.h"
#include "app/gui/vl_resources.h"
#include "controls/commandbars/toolbar_art.h"
#include "tests/support/qt_test_app.h"

#include <gtest/gtest.h>

namespace {

using namespace vl_ids;

// The item of a command anywhere in a menu, or null.
const GVPMenuItem* FindItem(const GVPMenu& menu, unsigned id) {
    for (const GVPMenuItem& item : menu.items) {
        if (item.id == id && !item.submenu)
            return &item;
        if (item.submenu)
            if (const GVPMenuItem* found = FindItem(*item.submenu, id))
                return found;
    }
    return nullptr;
}

unsigned AcceleratorCommand(unsigned table, std::uint8_t virt, std::uint16_t key) {
    for (const GVPAccel& accel : *CGVPResources::Instance().FindAccelerators(table))
        if (accel.fVirt == virt && accel.key == key)
            return accel.cmd;
    return 0;
}

TEST(VelmoraResources, EveryTemplateFindsItsMenuAndKeys) {
    RegisterVelmoraResources();
    const CGVPResources& res = CGVPResources::Instance();
    for (const TemplateRow& row : kTemplateTable) {
        const platform::qt::TemplateResources wanted = ResourcesOf(row.id);
        EXPECT_EQ(res.FindMenu(unsigned(row.id)) != nullptr, wanted.hasMenu) << row.member;
        EXPECT_EQ(res.FindAccelerators(unsigned(row.id)) != nullptr, wanted.hasAccelerators)
            << row.member;
    }
    // Each window's own commands, in the menu of the window that handles them.
    const struct {
        unsigned menu;
        unsigned id;
        const char* text;
    } items[] = {
        {kImageMenu, kCompileScript, "&Download DAT"},
        {kImageMenu, kFileStatus, "&File Status"},
        {kImageMenu, kViewCompiledData, "&View Compiled Data"},
        {kScriptMenu, kInsertSequence, "&Insert Sequence\tCtrl+Y"},
        {kScriptMenu, kRunNow, "&Start Sequence Now\tF7"},
        {kScriptMenu, kIndentLevel1 + 5, "Indent 5 Levels"},
        {kEventMenu, kRunNow, "&Execute Event Now\tF7"},
        {kEventMenu, kDeleteEvents, "&Delete Event(s)\tCtrl+D"},
        {kTimelineMenu, kMoveEvent, "Move Event"},
        {kStringMenu, kLcdWizard, "&LCD Wizard"},
        {kTableMenu, kEditReplace, "R&eplace\tCtrl+H"},
        {kCompileMenu, kInputs, "&Inputs..."},
    };
    for (const auto& item : items) {
        const GVPMenuItem* found = FindItem(*res.FindMenu(item.menu), item.id);
        ASSERT_NE(found, nullptr) << item.menu << " " << item.id;
        EXPECT_EQ(found->text, QString::fromUtf8(item.text));
    }
    EXPECT_EQ(FindItem(*res.FindMenu(kTableMenu), kInsertEvent), nullptr);
    const std::uint8_t ctrl = GVPAccel::kVirtKey | GVPAccel::kControl;
    EXPECT_EQ(AcceleratorCommand(kScriptAccelerators, ctrl, 'Y'), kInsertSequence);
    EXPECT_EQ(AcceleratorCommand(kEventAccelerators, ctrl, 'D'), kDeleteEvents);
    EXPECT_EQ(AcceleratorCommand(kTimelineAccelerators, ctrl, 'H'), kEditReplace);
}

// Every toolbar picture of the main window and the event windows is one of the program's own
// scalable drawings.
TEST(VelmoraResources, EveryToolbarPictureIsDrawnByTheProgram) {
    RegisterVelmoraResources();
    for (unsigned bar : {unsigned(kStandardToolBar), unsigned(kEventToolBar)}) {
        const GVPToolBarResource* res = CGVPResources::Instance().FindToolBar(bar);
        ASSERT_TRUE(res) << bar;
        EXPECT_FALSE(res->iconNames.empty()) << bar;
        for (const auto& [id, name] : res->iconNames)
            EXPECT_TRUE(gvpart::HasToolbarArt(name))
                << bar << " " << id << " " << name.toStdString();
    }
}

} // namespace
