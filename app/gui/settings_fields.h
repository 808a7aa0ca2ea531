// Where the settings the option dialogs edit live in the application object: the main window
// hands the dialogs these fields, so that the dialogs know nothing of the application.
#pragma once

#include "app/gui/options_dialogs.h"
#include "app/gui/tools_menu.h"
#include "app/vl_app.h"

inline options::GeneralOptionFields GeneralOptionsOf(CVLApp& app) {
    return {app.m_bNewFileAtStartup, app.m_bAlwaysPopupEventList, app.m_bSpreadsheetHints,
            app.m_wPopupDelay};
}

inline tools::UserToolFields UserToolsOf(CVLApp& app) {
    return {app.m_strToolName1, app.m_strToolPath1, app.m_strToolName2, app.m_strToolPath2};
}
