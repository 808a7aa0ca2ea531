#include "app/gui/document_commands.h"

#include "app/command_ids.h"
#include "link/dat_doc.h"
#include "script/vl_doc.h"

#include <vector>

using namespace vl_ids;

ScriptCommands::ScriptCommands(CVLDoc& doc, std::function<void(CVLDoc&)> close) {
    commands_
        .On(kFileClose,
            [&doc, close = std::move(close)] {
                if (doc.SaveModified() && close)
                    close(doc);
            })
        .On(kFileSave, [&doc] { doc.OnFileSave(); })
        .On(kFileSaveAs, [&doc] { doc.OnFileSaveAs(); })
        .On(kCompileScript, [&doc] { doc.CompileScript(); })
        .On(kCompilerOptions, [&doc] { doc.OnCompilerOptions(); })
        .On(kCfgScript, [&doc] { doc.OnConfigureScript(); })
        .On(kCfgUnit, [&doc] { doc.OnConfigureUnit(); })
        .On(kCfgSmpte, [&doc] { doc.OnConfigureSmpte(); });
}

ImageCommands::ImageCommands(CDatDoc& doc) {
    commands_.On(kCompileScript, [&doc] { doc.OnDownload(); })
        .On(kFileSave, [&doc] { doc.OnFileSave(); })
        .On(kFileSaveAs, [&doc] { doc.OnFileSaveAs(); })
        .On(kFileStatus, [&doc] { doc.OnFileStatus(); })
        .On(kFileClose, [&doc] {
            // The document goes with its last view.
            const std::vector<platform::View*> views = doc.Views();
            for (platform::View* view : views)
                view->CloseFrame();
        });
}
