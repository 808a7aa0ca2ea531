// Pactwright's menus, toolbar, prompts and keys, registered with the command bars at start-up.
#pragma once

void RegisterPactwrightResources();
