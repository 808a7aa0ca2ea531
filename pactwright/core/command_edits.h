// Whole commands: the ones the editor makes, and the copy through the scratch command that
// serves as the command clipboard.
#pragma once

#include "script/protocol.h"

#include <memory>

namespace pactwright {

// Name, texts, parameter texts, byte lines and both counts.
void CopyCommandTexts(const CCmnd& from, CCmnd& to);
// "New Command": no category, a description and a message to overwrite.
std::unique_ptr<CCmnd> MakeNewCommand();
// The one command of a new document.
std::unique_ptr<CCmnd> MakeMessageOutCommand();

} // namespace pactwright
