// The communication dialog as a typed request (its fields in and out), and the logic around it:
// running it with the application's settings and taking its values on OK, and deciding before a
// transfer whether the user must confirm the connection at all.
#pragma once

#include "platform/ui_services.h"
#include "script/app_services.h"
#include "script/download_settings.h"
#include "script/quenlow_device.h"

#include <string>

struct CommDialogRequest : platform::DialogRequest {
    static constexpr const char* kDialogName = "CCfgCommDlg";
    const char* DialogName() const override { return kDialogName; }

    int m_nPort = 0;
    int m_nTimeout = 3000;
    int m_nPacing = 3;
    bool m_bRetrieve = false;
    bool m_bSettingsOnly = false;
    int m_nPacketSize = 128;
    int m_nBitMode = 1;
    int m_nMethod = 0;
    int m_nDevice = -1;
    std::string m_strMessage;
    std::string m_strTitleSuffix;
    CQuenlowList m_devices; // the caller's copy, edited by the dialog
    bool m_bVerbose = false;

    // The dialog's title for the current choice ("Communication Settings", or
    // "Downloading through COM1 to a ..." and the like).
    std::string Title() const;
};

namespace showlink {

// The Advanced dialog's combo box index of a value, -1 when the value is not offered.
int TimeoutIndex(int milliseconds);
int PacketSizeIndex(int bytes);
// The value of an index, or `unchanged` when the index selects nothing.
int TimeoutForIndex(int index, int unchanged);
int PacketSizeForIndex(int index, int unchanged);

enum class CommDialogMode { Download, Retrieve, SettingsOnly };

// Runs the dialog with the message and the application's current settings and a copy of its
// device list. On OK the values replace the settings, the copy replaces the device list, the
// settings are saved and the main window is redrawn; answers true. Cancel changes nothing.
bool RunCommDialog(AppServices& app, const std::string& message, const std::string& titleSuffix,
                   CommDialogMode mode = CommDialogMode::Download);

// Whether a transfer may go ahead: at once for a command-line compile; with a message, as the
// dialog answers; without one, at once when the serial method is chosen and its port exists,
// else as the dialog answers "Please choose a Communication method.".
bool ChooseCommMethod(AppServices& app, const std::string& message, const std::string& titleSuffix);

// " to a " and the product's name: the title suffix of a script's transfers.
std::string ProductTitleSuffix(const std::string& productName);

} // namespace showlink
