// Help for the dialog: a short text for each kind of control, shown as a popup at the control,
// and the topics of the help page in the installation's Help folder.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace lumaquill {

enum class HelpTopic {
    Slider,
    Set,
    Group,
    SetAll,
    Enable,
    ValueField,
    GroupAll,
    BaseChannel,
    Percent,
    Value,
    Port,
    EnableAll,
    Blackout,
};
inline constexpr int kHelpTopicCount = 13;

struct HelpTopicText {
    const char* anchor; // the topic's id in the help page
    const char* title;
    const char* text;
};

const HelpTopicText& TopicText(HelpTopic topic);

// The help page of the installation: <installation>/Help/lumaquill.html, the installation being
// the folder above the program's Utilities folder. Empty when the page is missing.
QString HelpPagePath();
// The page at the topic, or an empty URL when the page is missing.
QUrl HelpTopicUrl(HelpTopic topic);

// Opens a URL in the desktop's browser; tests put their own in place.
using HelpLauncher = std::function<bool(const QUrl&)>;
HelpLauncher SetHelpLauncher(HelpLauncher launcher);

// Opens the topic's page; shows "Failed to launch help." when that fails.
bool OpenHelpTopic(HelpTopic topic);

} // namespace lumaquill
