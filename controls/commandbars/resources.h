// Resources of the command bars: menus, toolbar descriptions, the string table
// ("description\ntooltip") and accelerator tables, each found by its numeric id. Programs own
// their data and register it at start-up; the toolkit registers its own strings.
#pragma once

#include "controls/commandbars/key_names.h"

#include <QString>
#include <map>
#include <memory>
#include <vector>

struct GVPMenu;
using GVPMenuPtr = std::shared_ptr<GVPMenu>;

struct GVPMenuItem {
    QString text; // caption; "\t" separates the shortcut text
    unsigned id = 0;
    GVPMenuPtr submenu;
    bool separator = false;
    bool isDefault = false;
};

struct GVPMenu {
    std::vector<GVPMenuItem> items;

    GVPMenu& Item(const QString& text, unsigned id);
    GVPMenu& Separator();
    // Appends a submenu item and answers the new submenu.
    GVPMenu& Popup(const QString& text);
    // The first submenu of the menu, none when it has none.
    GVPMenuPtr FirstSubmenu() const;
};

struct GVPToolBarResource {
    int buttonWidth = 16;
    int buttonHeight = 15;
    std::vector<unsigned> ids;             // 0 marks a separator
    std::map<unsigned, QString> iconNames; // freedesktop icon name per command id
};

using GVPAcceleratorTable = std::vector<GVPAccel>;

class CGVPResources {
public:
    static CGVPResources& Instance();

    void SetMenu(unsigned id, GVPMenuPtr menu);
    GVPMenuPtr FindMenu(unsigned id) const;
    void SetToolBar(unsigned id, GVPToolBarResource res);
    const GVPToolBarResource* FindToolBar(unsigned id) const;
    void SetString(unsigned id, const QString& text);
    // False (text untouched) when the table has no string of that id.
    bool LoadString(unsigned id, QString& text) const;
    QString String(unsigned id) const;
    void SetAccelerators(unsigned id, GVPAcceleratorTable table);
    const GVPAcceleratorTable* FindAccelerators(unsigned id) const;
    // The freedesktop icon name of a command, from any registered toolbar; empty when none.
    QString IconName(unsigned id) const;
    void SetIconName(unsigned id, const QString& name) { icons_[id] = name; }

private:
    CGVPResources();
    std::map<unsigned, GVPMenuPtr> menus_;
    std::map<unsigned, GVPToolBarResource> toolbars_;
    std::map<unsigned, QString> strings_;
    std::map<unsigned, GVPAcceleratorTable> accelerators_;
    std::map<unsigned, QString> icons_;
};
