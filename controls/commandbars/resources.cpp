#include "controls/commandbars/resources.h"

GVPMenu& GVPMenu::Item(const QString& text, unsigned id) {
    items.push_back({text, id, nullptr, false, false});
    return *this;
}

GVPMenu& GVPMenu::Separator() {
    items.push_back({QString(), 0, nullptr, true, false});
    return *this;
}

GVPMenu& GVPMenu::Popup(const QString& text) {
    auto sub = std::make_shared<GVPMenu>();
    items.push_back({text, 0, sub, false, false});
    return *sub;
}

GVPMenuPtr GVPMenu::FirstSubmenu() const {
    for (const auto& item : items)
        if (item.submenu)
            return item.submenu;
    return nullptr;
}

CGVPResources& CGVPResources::Instance() {
    static CGVPResources resources;
    return resources;
}

CGVPResources::CGVPResources() {
    // The toolkit's own texts.
    strings_[9300] = "&Add or Remove Buttons";
    strings_[9395] = "Reset";
    strings_[9349] = "Are you sure you want to reset the changes made to the '%s' toolbar?";
    strings_[9400] = "Toolbar Options\nToolbar Options";
    strings_[9401] = "Close\nClose";
    strings_[35001] = "Customize the toolbars\n&Customize...";
}

void CGVPResources::SetMenu(unsigned id, GVPMenuPtr menu) {
    menus_[id] = std::move(menu);
}

GVPMenuPtr CGVPResources::FindMenu(unsigned id) const {
    auto it = menus_.find(id);
    return it == menus_.end() ? nullptr : it->second;
}

void CGVPResources::SetToolBar(unsigned id, GVPToolBarResource res) {
    for (const auto& [cmd, name] : res.iconNames)
        icons_[cmd] = name;
    toolbars_[id] = std::move(res);
}

const GVPToolBarResource* CGVPResources::FindToolBar(unsigned id) const {
    auto it = toolbars_.find(id);
    return it == toolbars_.end() ? nullptr : &it->second;
}

void CGVPResources::SetString(unsigned id, const QString& text) {
    strings_[id] = text;
}

bool CGVPResources::LoadString(unsigned id, QString& text) const {
    auto it = strings_.find(id);
    if (it == strings_.end())
        return false;
    text = it->second;
    return true;
}

QString CGVPResources::String(unsigned id) const {
    QString text;
    LoadString(id, text);
    return text;
}

void CGVPResources::SetAccelerators(unsigned id, GVPAcceleratorTable table) {
    accelerators_[id] = std::move(table);
}

const GVPAcceleratorTable* CGVPResources::FindAccelerators(unsigned id) const {
    auto it = accelerators_.find(id);
    return it == accelerators_.end() ? nullptr : &it->second;
}

QString CGVPResources::IconName(unsigned id) const {
    auto it = icons_.find(id);
    return it == icons_.end() ? QString() : it->second;
}
