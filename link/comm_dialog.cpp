#include "link/comm_dialog.h"

#include "link/log_format.h"
#include "link/serial_link.h"

namespace {

constexpr int kTimeouts[] = {500, 1000, 3000, 10000, 30000};
constexpr int kPacketSizes[] = {8, 16, 32, 64, 128, 256};

template <std::size_t N> int IndexOf(const int (&values)[N], int value) {
    for (std::size_t i = 0; i < N; ++i) {
        if (values[i] == value) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

template <std::size_t N> int ValueAt(const int (&values)[N], int index, int unchanged) {
    if (index < 0 || static_cast<std::size_t>(index) >= N) {
        return unchanged;
    }
    return values[index];
}

} // namespace

std::string CommDialogRequest::Title() const {
    if (m_bSettingsOnly) {
        return "Communication Settings";
    }
    const char* verb = m_bRetrieve ? "Retrieving" : "Downloading";
    if (m_nMethod == 1) {
        const CQuenlowOb* device = m_devices.GetAt(m_nDevice);
        const std::string name = device != nullptr ? device->m_strName : std::string();
        return showlink::Format("%s through %s%s", verb, name.c_str(), m_strTitleSuffix.c_str());
    }
    return showlink::Format("%s through COM%d%s", verb, m_nPort + 1, m_strTitleSuffix.c_str());
}

namespace showlink {

int TimeoutIndex(int milliseconds) {
    return IndexOf(kTimeouts, milliseconds);
}

int PacketSizeIndex(int bytes) {
    return IndexOf(kPacketSizes, bytes);
}

int TimeoutForIndex(int index, int unchanged) {
    return ValueAt(kTimeouts, index, unchanged);
}

int PacketSizeForIndex(int index, int unchanged) {
    return ValueAt(kPacketSizes, index, unchanged);
}

bool RunCommDialog(AppServices& app, const std::string& message, const std::string& titleSuffix,
                   CommDialogMode mode) {
    const CommSettings& current = app.Settings();
    CommDialogRequest dialog;
    dialog.m_strMessage = message;
    dialog.m_strTitleSuffix = titleSuffix;
    dialog.m_bRetrieve = mode == CommDialogMode::Retrieve;
    dialog.m_bSettingsOnly = mode == CommDialogMode::SettingsOnly;
    dialog.m_nPort = current.serialPort;
    dialog.m_nTimeout = current.serialTimeout;
    dialog.m_nPacing = current.serialDelay;
    dialog.m_nPacketSize = current.serialBandwidth;
    dialog.m_nBitMode = current.serialBitMode;
    dialog.m_nMethod = current.commMethod;
    dialog.m_nDevice = current.ethernetDevice;
    dialog.m_bVerbose = current.verbose;
    dialog.m_devices = app.Devices();
    if (!platform::Ui().RunDialog(dialog)) {
        return false;
    }
    CommSettings& settings = app.Settings();
    settings.verbose = dialog.m_bVerbose;
    settings.serialPort = dialog.m_nPort;
    settings.serialTimeout = dialog.m_nTimeout;
    settings.serialDelay = dialog.m_nPacing;
    settings.serialBandwidth = dialog.m_nPacketSize;
    settings.serialBitMode = dialog.m_nBitMode;
    settings.commMethod = dialog.m_nMethod;
    settings.ethernetDevice = dialog.m_nDevice;
    app.Devices() = std::move(dialog.m_devices);
    app.SaveSettings();
    app.RedrawMainWindow();
    return true;
}

bool ChooseCommMethod(AppServices& app, const std::string& message,
                      const std::string& titleSuffix) {
    if (app.CommandLineCompile()) {
        return true;
    }
    if (!message.empty()) {
        return RunCommDialog(app, message, titleSuffix);
    }
    const CommSettings& settings = app.Settings();
    if (settings.commMethod == 0 && ProbeComPort(settings.serialPort)) {
        return true;
    }
    return RunCommDialog(app, "Please choose a Communication method.", titleSuffix);
}

std::string ProductTitleSuffix(const std::string& productName) {
    return " to a " + productName;
}

} // namespace showlink
