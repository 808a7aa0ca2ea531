#include "app/my_multi_doc_template.h"

#include "platform/ui_services.h"
#include "script/vl_doc.h"

#include <algorithm>
#include <filesystem>
#include <new>

namespace {

constexpr const char* kCreateFailed = "Failed to create empty document.";

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec))
        return true;
    return a == b;
}

} // namespace

CMyMultiDocTemplate::~CMyMultiDocTemplate() {
    // Nothing runs any more when the template goes: every script closes.
    while (!documents_.empty())
        Discard(documents_.end() - 1);
}

CVLDoc* CMyMultiDocTemplate::FindOpenDocument(const std::string& path) const {
    for (const auto& doc : documents_)
        if (!doc->GetPathName().empty() && SameFile(doc->GetPathName(), path))
            return doc.get();
    return nullptr;
}

CVLDoc* CMyMultiDocTemplate::OpenDocumentFile(const std::string& path, bool makeVisible) {
    std::unique_ptr<CVLDoc> doc;
    try {
        doc = std::make_unique<CVLDoc>(services_);
    } catch (const std::bad_alloc&) {
        platform::ShowMessage(kCreateFailed, platform::MsgButtons::Ok,
                              platform::MsgIcon::Exclamation);
        return nullptr;
    }
    if (!frames_.CreateFrame(*doc)) {
        frames_.DestroyFrames(*doc);
        platform::ShowMessage(kCreateFailed, platform::MsgButtons::Ok,
                              platform::MsgIcon::Exclamation);
        return nullptr;
    }
    if (!path.empty()) {
        bool opened = false;
        {
            platform::WaitCursor wait;
            opened = doc->OnOpenDocument(path);
        }
        if (!opened) {
            frames_.DestroyFrames(*doc);
            return nullptr;
        }
    } else {
        const std::uint16_t number = static_cast<std::uint16_t>(untitledCount_ + 1);
        doc->SetTitle(docName_.empty() ? std::string("Untitled")
                                       : docName_ + std::to_string(number));
        if (makeVisible && !doc->OnNewDocument()) {
            frames_.DestroyFrames(*doc);
            return nullptr;
        }
        ++untitledCount_;
    }
    CVLDoc* result = doc.get();
    documents_.push_back(std::move(doc));
    frames_.InitialUpdateFrame(*result, makeVisible);
    return result;
}

bool CMyMultiDocTemplate::CloseDocument(CVLDoc* doc) {
    auto it = std::find_if(documents_.begin(), documents_.end(),
                           [doc](const auto& owned) { return owned.get() == doc; });
    if (it == documents_.end())
        return false;
    if (doc->IsHeld()) {
        // A compile, transfer or dialog works on this document further up the stack: a compile
        // or transfer is asked to stop, a dialog answers first.
        if (doc->m_nCompileRunning)
            doc->m_nAbortRequested = 1;
        return false;
    }
    Discard(it);
    return true;
}

void CMyMultiDocTemplate::Discard(std::vector<std::unique_ptr<CVLDoc>>::iterator it) {
    std::unique_ptr<CVLDoc> owned = std::move(*it);
    documents_.erase(it);
    owned->OnCloseDocument();
    frames_.DestroyFrames(*owned);
}

void CMyMultiDocTemplate::CloseAllDocuments() {
    for (std::size_t i = documents_.size(); i-- > 0;)
        if (i < documents_.size())
            CloseDocument(documents_[i].get());
}
