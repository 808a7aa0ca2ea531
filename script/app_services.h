// What the script model, the compiler and the link need of the program they run in: the
// installation's device definitions, the open scripts, the settings, and the ways into the
// compiler and the link. The program owns one and hands it to every script it makes; the
// layers below reach the program through nothing else. A service nobody supplied throws
// MissingService when it is used, so a forgotten hand-over shows at once.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

class CDocList;
class CEvnt;
class CImportTable;
class CProdList;
class CProList;
class CProtocol;
class CQuenlowList;
class CSeq;
class CSerialLink;
class CVLDoc;
struct CommSettings;

namespace platform {
class ViewTemplate;
}

class MissingService : public std::logic_error {
public:
    explicit MissingService(const std::string& service)
        : std::logic_error("No " + service + " was handed to this part of the program") {}
};

// The local time the compile reads for its remarks.
struct LocalClockTime {
    int hour = 0;   // 0-23
    int second = 0; // 0-59
};

class AppServices {
public:
    // How the next new script is made.
    enum NewDocMode : std::uint16_t {
        kNewAskProduct = 0, // the new-script dialog asks for the product
        kNewDefaultProduct = 1,
        kNewUploadFromUnit = 2, // default product, to be filled from the unit's archive
        kNewScriptWizard = 3,
    };

    AppServices() = default;
    AppServices(const AppServices&) = delete;
    AppServices& operator=(const AppServices&) = delete;
    virtual ~AppServices() = default;

    // ---- The installation ----
    virtual const std::string& InstallDirectory() const;
    virtual CProdList& Products();
    virtual CProList& Protocols();
    // The built-in event protocol; null when the installation has none.
    virtual CProtocol* EventProtocol();
    // The renaming table of the DOS script import; null when it could not be had.
    virtual CImportTable* ImportTable();

    // ---- Open scripts ----
    virtual CDocList& OpenDocuments();
    virtual NewDocMode NewDocumentMode() const;
    // The template that opens a compile view on a script; null when the program has none.
    virtual platform::ViewTemplate* CompileTemplate();

    // ---- Settings ----
    virtual CommSettings& Settings();
    virtual CQuenlowList& Devices();
    // Writes every setting and the device list to the profile.
    virtual void SaveSettings();
    // Set while the program compiles a script named on its command line.
    virtual bool CommandLineCompile() const;
    // How long status popups stay up, in ticks of 55 ms.
    virtual int PopupDelayTicks() const;
    virtual void RedrawMainWindow() {}

    // ---- Ways into the compiler and the link ----
    // The owner sets them; tests put their own in their place.
    struct Entries {
        // Compiles the whole script.
        std::function<void(CVLDoc&)> compile;
        // The compiler's port-event check of one event of a sequence (1 or 0).
        std::function<int(CVLDoc&, CSeq&, CEvnt&)> checkPortEvent;
        // Opens a script file (relative names from the current directory); null when it could
        // not be opened.
        std::function<CVLDoc*(const std::string& path)> openScript;
        // The local time of the compile's remarks.
        std::function<LocalClockTime()> localTime;
        // Serial ports present on this machine.
        std::function<int()> countComPorts;
        // Why a serial port (0 for COM1) cannot be opened: the device tried and the system's
        // reason; empty when it opens. Optional: without it nothing more is said.
        std::function<std::string(int port)> comPortFailure;
        // Asks how to send, showing `message`; true to go ahead.
        std::function<bool(CVLDoc&, const std::string& message)> chooseCommMethod;
        // Sends the script's compiled image; true when the controller took it.
        std::function<bool(CVLDoc&)> downloadCompiledScript;
        // The reproducer configuration download (inline, load triggers, full) -> status (2
        // success).
        std::function<int(CVLDoc&, bool, bool, bool)> downloadSmpte;
        // Stores the script as an archive over the open link. Optional: without it the
        // download offers no archive.
        std::function<void(CVLDoc&, CSerialLink&)> storeArchive;
    };
    Entries entries;

    void Compile(CVLDoc& doc) { Need(entries.compile, "compiler")(doc); }
    int CheckPortEvent(CVLDoc& doc, CSeq& sequence, CEvnt& event) {
        return Need(entries.checkPortEvent, "port-event check")(doc, sequence, event);
    }
    CVLDoc* OpenScript(const std::string& path) {
        return Need(entries.openScript, "script opener")(path);
    }
    LocalClockTime LocalTime() { return Need(entries.localTime, "clock")(); }
    int CountComPorts() { return Need(entries.countComPorts, "serial port count")(); }
    std::string ComPortFailure(int port) {
        return entries.comPortFailure ? entries.comPortFailure(port) : std::string();
    }
    bool ChooseCommMethod(CVLDoc& doc, const std::string& message) {
        return Need(entries.chooseCommMethod, "communication dialog")(doc, message);
    }
    bool DownloadCompiledScript(CVLDoc& doc) {
        return Need(entries.downloadCompiledScript, "download")(doc);
    }
    int DownloadSmpte(CVLDoc& doc, bool inlineDownload, bool loadTriggers, bool full) {
        return Need(entries.downloadSmpte, "reproducer download")(doc, inlineDownload, loadTriggers,
                                                                  full);
    }
    bool CanStoreArchive() const { return static_cast<bool>(entries.storeArchive); }
    void StoreArchive(CVLDoc& doc, CSerialLink& link) {
        Need(entries.storeArchive, "archive store")(doc, link);
    }

protected:
    [[noreturn]] static void Missing(const char* service) { throw MissingService(service); }

private:
    template <typename F> static F& Need(F& entry, const char* service) {
        if (!entry)
            Missing(service);
        return entry;
    }
};
