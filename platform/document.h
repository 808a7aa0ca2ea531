// The document base of the document/view programs: a document has a path, a title, a modified
// flag and the views attached to it; a change is told to the views by UpdateAllViews. No user
// interface here: the Qt layer attaches its views through the View interface.
#pragma once

#include <string>
#include <vector>

namespace platform {

class Document;

// A view of a document. The Qt layer derives its views from this (through an adapter); tests
// attach plain objects.
class View {
public:
    virtual ~View();

    Document* GetDocument() const { return document_; }

    // Called once the view is attached to its document (GetDocument answers it from now on).
    virtual void OnAttached() {}
    // Called by Document::UpdateAllViews for every view but the sender.
    virtual void OnUpdate(View* /*sender*/, long /*hint*/, void* /*object*/) {}
    // The class name of the view, as the documents' title and lookup logic ask for it
    // ("CSeqView", "CCompileView", ...).
    virtual const char* ViewClassName() const { return "View"; }
    // The frame window holding the view: an identity to compare views by frame, the frame's
    // window number (1, 2, ... when the document shows in several frames, 0 otherwise), its
    // title, and a request to close it.
    virtual const void* FrameId() const { return this; }
    virtual int FrameWindowNumber() const { return 0; }
    virtual void SetFrameTitle(const std::string& /*title*/) {}
    virtual void CloseFrame() {}
    // Brings the view's frame to the front.
    virtual void ActivateFrame() {}
    // What the view shows of its document beyond the document itself, for its frame title
    // (the sequence an event view edits); empty for most views.
    virtual std::string ViewSubject() const { return {}; }

private:
    friend class Document;
    Document* document_ = nullptr;
};

class Document {
public:
    Document() = default;
    virtual ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    const std::string& GetPathName() const { return path_; }
    // Sets the path and, as the framework does, the title to the file name (with extension).
    virtual void SetPathName(const std::string& path);
    const std::string& GetTitle() const { return title_; }
    virtual void SetTitle(const std::string& title) { title_ = title; }

    virtual bool IsModified() const { return modified_; }
    virtual void SetModifiedFlag(bool modified = true) { modified_ = modified; }

    void AddView(View* view);
    void RemoveView(View* view);
    const std::vector<View*>& Views() const { return views_; }
    // Tells every attached view but the sender about a change.
    void UpdateAllViews(View* sender, long hint = 0, void* object = nullptr);

    virtual bool OnNewDocument() { return true; }
    virtual bool OnOpenDocument(const std::string& /*path*/) { return true; }
    virtual bool OnSaveDocument(const std::string& /*path*/) { return true; }
    virtual void OnCloseDocument() {}

private:
    std::string path_;
    std::string title_;
    bool modified_ = false;
    std::vector<View*> views_;
};

} // namespace platform
