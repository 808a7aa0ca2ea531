// The commands of the active window's document, asked after its view: a script's (close, save,
// compile, compiler options, the script's, unit's and SMPTE configuration) and a compiled image's
// (download, save, status, close).
#pragma once

#include "platform/qt/command_map.h"
#include "platform/qt/command_target.h"

#include <functional>

class CDatDoc;
class CVLDoc;

class ScriptCommands : public platform::qt::CommandTarget {
public:
    // `close` closes the script on File > Close, once its changes are saved or given up.
    ScriptCommands(CVLDoc& doc, std::function<void(CVLDoc&)> close);
    bool OnCommand(unsigned id) override { return commands_.Run(id); }
    bool HasCommandHandler(unsigned id) const override { return commands_.Has(id); }

private:
    platform::qt::CommandMap commands_;
};

class ImageCommands : public platform::qt::CommandTarget {
public:
    explicit ImageCommands(CDatDoc& doc);
    bool OnCommand(unsigned id) override { return commands_.Run(id); }
    bool HasCommandHandler(unsigned id) const override { return commands_.Has(id); }

private:
    platform::qt::CommandMap commands_;
};
