#include "script/vl_doc.h"

#include "platform/ui_services.h"

bool CVLDoc::RunScriptWizard() {
    platform::ShowMessage("The Script Wizard is not available in this version.");
    return false;
}
