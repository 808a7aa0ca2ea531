#include "lumaquill/lumaquill_help.h"

#include "platform/paths.h"
#include "platform/ui_services.h"

#include <QDesktopServices>
#include <array>
#include <filesystem>

namespace lumaquill {

namespace {

constexpr std::array<HelpTopicText, kHelpTopicCount> kTopics = {{
    {"sliders", "Channel sliders",
     "Drag a slider, or use the arrow keys, Page Up, Page Down or the mouse wheel, to set the "
     "value of its channel: 255 at the top, 0 at the bottom. Grouped sliders move together."},
    {"set", "Set",
     "Moves the slider above to the number in the value field. In percent display a number "
     "above 100 counts as 100."},
    {"grp", "Grp",
     "Puts the channel in the group: moving any grouped slider moves every other grouped "
     "slider by the same distance. A slider that reaches the top or bottom stays there."},
    {"set-all", "Set All",
     "Moves all eight sliders to the numbers in their value fields. Enter presses it."},
    {"ena", "Ena",
     "Sends this channel to the controller. Channels whose box is clear are never sent."},
    {"value-fields", "Value fields",
     "The value of each channel, from 0 to 255 or as a percentage, as the Display box "
     "chooses. Type a number and press Set to move the slider there."},
    {"grp-all", "Grp All", "Checks or clears all eight Grp boxes."},
    {"base-addr", "Base Addr",
     "The DMX channel of the first slider, from 1 to 505; the sliders control it and the "
     "seven channels after it. + and - step it by one. A new base channel is sent with the "
     "next change of a value."},
    {"percent", "Percent", "Shows the values as percentages, from 0 to 100."},
    {"value", "Value", "Shows the values as numbers from 0 to 255."},
    {"port", "Port",
     "The serial port of the show controller, COM1 to COM4, mapped to a device in the "
     "Serial Ports section of the Velmora profile. Used with the next change of a value."},
    {"ena-all", "Ena All", "Checks or clears all eight Ena boxes."},
    {"blackout", "Blackout",
     "Moves every slider to the bottom (value 0). The enabled channels are sent."},
}};

HelpLauncher& Launcher() {
    static HelpLauncher launcher;
    return launcher;
}

} // namespace

const HelpTopicText& TopicText(HelpTopic topic) {
    return kTopics[static_cast<std::size_t>(topic)];
}

QString HelpPagePath() {
    const std::filesystem::path installation =
        std::filesystem::path(platform::InstallDirectory()).parent_path();
    const auto page = platform::ResolveNoCase(installation, "Help/lumaquill.html");
    return page ? QString::fromStdString(page->string()) : QString();
}

QUrl HelpTopicUrl(HelpTopic topic) {
    const QString page = HelpPagePath();
    if (page.isEmpty()) {
        return {};
    }
    QUrl url = QUrl::fromLocalFile(page);
    url.setFragment(QString::fromLatin1(TopicText(topic).anchor));
    return url;
}

HelpLauncher SetHelpLauncher(HelpLauncher launcher) {
    HelpLauncher previous = std::move(Launcher());
    Launcher() = std::move(launcher);
    return previous;
}

bool OpenHelpTopic(HelpTopic topic) {
    const QUrl url = HelpTopicUrl(topic);
    const bool opened = url.isValid() && !url.isEmpty() &&
                        (Launcher() ? Launcher()(url) : QDesktopServices::openUrl(url));
    if (!opened) {
        platform::ShowMessage("Failed to launch help.", platform::MsgButtons::Ok,
                              platform::MsgIcon::Exclamation);
    }
    return opened;
}

} // namespace lumaquill
