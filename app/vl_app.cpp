#include "app/vl_app.h"

namespace {

CVLApp* g_app = nullptr;

CVLApp& DefaultApp() {
    static CVLApp app;
    return app;
}

} // namespace

void CVLApp::SaveSettings() {
    if (m_SaveSettingsHook)
        m_SaveSettingsHook(*this);
}

CVLApp& GetApp() {
    return g_app ? *g_app : DefaultApp();
}

CVLApp* SetApp(CVLApp* app) {
    CVLApp* previous = g_app;
    g_app = app;
    return previous;
}
