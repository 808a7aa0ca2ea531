// The script template: it makes script documents with their first frame, numbers untitled
// scripts "Script1", "Script2", ..., leaves the naming of opened files to the script document,
// and owns the open scripts. Frames come from a DocFrameFactory (Qt windows, or none in batch).
#pragma once

#include "script/vl_doc.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class DocFrameFactory {
public:
    virtual ~DocFrameFactory() = default;
    // Makes the first frame of a script with its view attached; false when it cannot.
    virtual bool CreateFrame(CVLDoc& doc) = 0;
    // Destroys the frames of a document that failed to open or is closing.
    virtual void DestroyFrames(CVLDoc& doc) = 0;
    // The frame's first update, shown when `visible`.
    virtual void InitialUpdateFrame(CVLDoc& doc, bool visible) = 0;
};

class CMyMultiDocTemplate {
public:
    // "Script": the document name untitled scripts are numbered after. The documents it makes
    // get `services`.
    CMyMultiDocTemplate(AppServices& services, DocFrameFactory& frames,
                        std::string docName = "Script")
        : services_(services), frames_(frames), docName_(std::move(docName)) {}
    ~CMyMultiDocTemplate();
    CMyMultiDocTemplate(const CMyMultiDocTemplate&) = delete;
    CMyMultiDocTemplate& operator=(const CMyMultiDocTemplate&) = delete;

    // Opens `path` (empty: a new untitled script) and answers the document, or null.
    CVLDoc* OpenDocumentFile(const std::string& path, bool makeVisible = true);
    // The open script of that file, or null.
    CVLDoc* FindOpenDocument(const std::string& path) const;
    // Destroys the document's frames and the document. A script whose compile or transfer
    // runs stays open and is asked to stop instead (false).
    bool CloseDocument(CVLDoc* doc);
    // Closes every script that may close now.
    void CloseAllDocuments();
    const std::vector<std::unique_ptr<CVLDoc>>& Documents() const { return documents_; }
    std::uint32_t UntitledCount() const { return untitledCount_; }

private:
    void Discard(std::vector<std::unique_ptr<CVLDoc>>::iterator it);

    AppServices& services_;
    DocFrameFactory& frames_;
    std::string docName_;
    std::uint32_t untitledCount_ = 0;
    std::vector<std::unique_ptr<CVLDoc>> documents_;
};
