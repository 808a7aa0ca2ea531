// The hand-over of a script to the compiler. The compiler installs its entry at start-up; the
// script model calls CompileMain without depending on the compiler's code.
#pragma once

#include <functional>

class CVLDoc;

using CompileMainEntry = std::function<void(CVLDoc&)>;

// Installs the compiler's entry (an empty function removes it); answers the previous one.
CompileMainEntry SetCompileMainEntry(CompileMainEntry entry);
// Compiles the whole script through the installed entry; does nothing when none is installed.
void CompileMain(CVLDoc& document);
