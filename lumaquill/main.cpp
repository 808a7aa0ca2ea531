// Lumaquill: sends the values of eight DMX channels to a show controller. One dialog; closing it
// ends the program. COM1 to COM4 resolve through the main program's profile, which is only read.
#include "lumaquill/dmx_sender.h"
#include "lumaquill/lumaquill_dlg.h"
#include "lumaquill/serial_port_map.h"
#include "platform/profile.h"
#include "platform/qt/qt_ui_services.h"
#include "platform/serial_device.h"
#include "platform/ui_services.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

namespace {

// Without a desktop session no icon theme is named: fall back to one that is installed.
void ChooseIconTheme() {
    if (!QIcon::themeName().isEmpty() && QIcon::themeName() != QLatin1String("hicolor")) {
        return;
    }
    for (const char* theme : {"breeze", "Adwaita"}) {
        for (const QString& dir : QIcon::themeSearchPaths()) {
            if (QDir(dir + QLatin1Char('/') + QLatin1String(theme)).exists()) {
                QIcon::setThemeName(QLatin1String(theme));
                return;
            }
        }
    }
}

class CLumaquillApp {
public:
    int InitInstance(int& argc, char** argv) {
        QApplication qt(argc, argv);
        QApplication::setApplicationName(QStringLiteral("Lumaquill"));
        ChooseIconTheme();
        platform::SetDefaultCaption("Lumaquill");
        platform::SetSerialPortLookup(dmx::SerialPortsFromProfile(platform::DefaultProfilePath()));

        dmx::DmxSender sender;
        lumaquill::CLumaquillDlg dialog(sender);
        platform::qt::QtUiServices ui(&dialog);
        platform::UiServices* previous = platform::SetUi(&ui);
        dialog.exec();
        platform::SetUi(previous);
        return 0;
    }
};

} // namespace

int main(int argc, char** argv) {
    CLumaquillApp app;
    return app.InitInstance(argc, argv);
}
