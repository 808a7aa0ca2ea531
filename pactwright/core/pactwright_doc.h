// One open protocol file: the protocol read leniently (so a file Velmora refuses can still be
// mended), its new-document defaults, opening, and saving with the file-name rule and the
// save prompt. Every box and file dialog goes through the user-interface services.
#pragma once

#include "platform/document.h"
#include "script/protocol.h"

#include <functional>
#include <string>

namespace pactwright {

class CPactwrightDoc : public platform::Document {
public:
    CPactwrightDoc();

    CProtocol& Protocol() { return protocol_; }
    const CProtocol& Protocol() const { return protocol_; }

    bool OnNewDocument() override;
    bool OnOpenDocument(const std::string& path) override;
    // Writes the protocol file: asks about parameter and byte lines the reader would drop,
    // then replaces the file as a whole, so a failed save leaves the old file as it was.
    bool OnSaveDocument(const std::string& path) override;

    // Saves under `name`, or (empty) under a name asked for with the Save As dialog. With
    // `replace` the name becomes the document's path.
    bool DoSave(const std::string& name, bool replace);
    // The Save As dialog offering `name`; true with the chosen path in `name`.
    virtual bool PromptSaveFileName(std::string& name);
    // The name a save without a name offers: the path, else the title cut to 8 characters
    // and before the first of " #%;/\".
    std::string ProposedSaveName() const;
    // Asks "Save changes to ...?" for a modified document; false stops the close.
    bool SaveModified();
    bool OnFileSave();
    bool OnFileSaveAs();

    // Told each path the document takes from an open or a save (the recent-file list).
    std::function<void(const std::string& path)> onPathChosen;

private:
    CProtocol protocol_;
};

} // namespace pactwright
