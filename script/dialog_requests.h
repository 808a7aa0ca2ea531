// Typed requests for the modal dialogs the script model opens through the user-interface
// services. Each carries the dialog's fields in and out.
#pragma once

#include "platform/ui_services.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CVLDoc;
class CSeq;

// Edits one trigger of a sequence. On OK the dialog has written the trigger's io name,
// variable and value texts into the sequence itself, and the fields below hold the choice.
struct CSeqTriggerDlg : platform::DialogRequest {
    static constexpr const char* kDialogName = "CSeqTriggerDlg";
    const char* DialogName() const override { return kDialogName; }

    CVLDoc* document = nullptr;
    CSeq* sequence = nullptr;
    int triggerIndex = 0;         // 0 start, 1 stop, 2 pause, 3 reset
    std::uint16_t combine = 0;    // 0 AND, 1 OR
    std::uint16_t comparison = 0; // 0 EQ, 1 NE, 2 GT, 3 LT, 4 GE, 5 LE
    int goesOff = 0;              // 1: the io resource going off
};

// "File New": the product of a new script.
struct CNewScriptDlg : platform::DialogRequest {
    static constexpr const char* kDialogName = "CNewScriptDlg";
    const char* DialogName() const override { return kDialogName; }

    std::vector<std::string> products; // names of the loaded products, in list order
    std::string product;               // the chosen name, on OK
};

// "Configure Script": the script's descriptive texts. Description holds its lines separated by
// CR LF here (the document stores them joined with '~').
struct CCfgScriptDlg : platform::DialogRequest {
    static constexpr const char* kDialogName = "CCfgScriptDlg";
    const char* DialogName() const override { return kDialogName; }

    static constexpr std::size_t kMaxDescription = 2048;
    static constexpr std::size_t kMaxText = 256;

    std::string version;
    std::string description;
    std::string author1;
    std::string author2;
    std::string author3;
    int writeProtected = 0; // shown, not editable
    int writeHeaders = 1;
};

// "Configure Unit": the script's product and unit settings.
struct CCfgUnitDlg : platform::DialogRequest {
    static constexpr const char* kDialogName = "CCfgUnitDlg";
    const char* DialogName() const override { return kDialogName; }

    std::vector<std::string> products; // names of the loaded products, in list order
    std::string product;               // the current product, then the chosen one
    std::uint16_t address = 0;         // 0-255
    std::uint16_t frameRate = 3;       // 0 = 24, 1 = 25, 2 = 29.97, 3 = 30 fps
    std::uint16_t clockSource = 0;     // 0 processor, 1 external
    std::string externalFrequency;     // Hz, as text
};

// "Configure Compiler": the script's compiler options and two application switches.
struct CCfgCompilerDlg : platform::DialogRequest {
    static constexpr const char* kDialogName = "CCfgCompilerDlg";
    const char* DialogName() const override { return kDialogName; }

    int optimization = 0;     // 0 speed, 1 size
    int verboseMessages = 1;  // check box
    int maxDetection = 0;     // maximise problem detection
    int noCompilerPopups = 0; // application switch
    int noArchiveOffer = 0;   // application switch
};

// An open-file dialog for one kind of file (a linked script, a protocol file). On OK, path
// holds the chosen file.
struct CFileOpenDlg : platform::DialogRequest {
    static constexpr const char* kDialogName = "CFileOpenDlg";
    const char* DialogName() const override { return kDialogName; }

    std::string title;      // "Open File"
    std::string filterName; // "Velmora files(*.ksf)"
    std::string filterMask; // "*.ksf"
    std::string folder;     // where the dialog starts; empty: the current folder
    std::string path;       // out: the chosen file
};

// The framework's "Save As" file dialog for a script.
struct CSaveAsDlg : platform::DialogRequest {
    static constexpr const char* kDialogName = "CSaveAsDlg";
    const char* DialogName() const override { return kDialogName; }

    std::string title = "Save As";
    std::string filter = "Velmora Files (*.ksf)";
    std::string defaultExtension = ".ksf";
    std::string path; // proposed name in, chosen path out
};

// The Script Wizard's questions. The caller sets the defaults before showing it and reads the
// answers after Create (OK); the dialog refuses a longer show name and a player count outside
// 1 to 16.
struct CScriptGenDlg : platform::DialogRequest {
    static constexpr const char* kDialogName = "CScriptGenDlg";
    const char* DialogName() const override { return kDialogName; }

    static constexpr const char* kIntroText =
        "This tool is designed to create a skeleton script, assuming Pelvanes or similar video "
        "players are the main crux of the show.  It is not useful for other types of shows.";
    static constexpr int kMaxShowName = 25;
    static constexpr int kMinPlayers = 1;
    static constexpr int kMaxPlayers = 16;

    std::string showName;    // "Show Name"
    std::string author;      // "Your Name"
    int synchronisation = 1; // 0 "Internal ( Processor )", 1 "External ( PLNs or Sync Gen )"
    int product = 0;         // 0 "Harnel16", 1 "Harnel4"
    int players = 2;         // "Number of Video Players"
};
