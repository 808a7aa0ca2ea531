#include "script/app_services.h"

const std::string& AppServices::InstallDirectory() const {
    Missing("installation folder");
}
CProdList& AppServices::Products() {
    Missing("product list");
}
CProList& AppServices::Protocols() {
    Missing("protocol list");
}
CProtocol* AppServices::EventProtocol() {
    Missing("event protocol");
}
CImportTable* AppServices::ImportTable() {
    Missing("import table");
}
CDocList& AppServices::OpenDocuments() {
    Missing("list of open scripts");
}
AppServices::NewDocMode AppServices::NewDocumentMode() const {
    Missing("new-script mode");
}
platform::ViewTemplate* AppServices::CompileTemplate() {
    Missing("compile view template");
}
CommSettings& AppServices::Settings() {
    Missing("download settings");
}
CQuenlowList& AppServices::Devices() {
    Missing("networked device list");
}
void AppServices::SaveSettings() {
    Missing("settings store");
}
bool AppServices::CommandLineCompile() const {
    Missing("command-line state");
}
int AppServices::PopupDelayTicks() const {
    Missing("popup delay");
}
