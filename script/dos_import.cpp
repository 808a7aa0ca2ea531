#include "script/vl_doc.h"

#include "platform/ui_services.h"

bool CVLDoc::ImportDosScript(const std::string& /*path*/) {
    platform::ShowMessage("DOS script import is not available in this version.");
    return false;
}
