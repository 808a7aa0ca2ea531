// Velmora's command-bar resources: the menus, the "Standard" toolbar, the accelerators and the
// command strings, registered once before the main frame is made.
#pragma once

#include "app/command_ids.h"
#include "controls/commandbars/resources.h"

namespace vl_ids {
// Menu, toolbar and accelerator resource ids.
inline constexpr unsigned kFrameMenu = 2;
inline constexpr unsigned kScriptMenu = 3;
inline constexpr unsigned kCompileMenu = 4;
inline constexpr unsigned kImageMenu = 6;
inline constexpr unsigned kTableMenu = 146;
inline constexpr unsigned kEventMenu = 147;
inline constexpr unsigned kStringMenu = 148;
inline constexpr unsigned kTimelineMenu = 149;
inline constexpr unsigned kStandardToolBar = 2;
inline constexpr unsigned kFrameAccelerators = 2;
// The templates' own tables: the script's (3), the event editor's (147), the timeline's (149).
inline constexpr unsigned kScriptAccelerators = 3;
inline constexpr unsigned kEventAccelerators = 147;
inline constexpr unsigned kTimelineAccelerators = 149;
} // namespace vl_ids

// Registers the resources with the toolkit (again is harmless: the same data is set).
void RegisterVelmoraResources();
