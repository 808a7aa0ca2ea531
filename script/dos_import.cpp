// The document's side of the DOS script import: the listing in the file buffer is read by
// CDosImport, which sets the product up through the document and hands back the rest.
#include "script/dos_script_import.h"
#include "script/vl_doc.h"

namespace {

class DocumentHost : public DosImportHost {
public:
    explicit DocumentHost(CVLDoc& doc) : m_Doc(doc) {}

    CProduct* SetUpProduct(const std::string& productName) override {
        return m_Doc.InitNewScript(productName) ? m_Doc.m_pProduct.get() : nullptr;
    }

    void SetStatusProgress(const std::string& text, int percent) override {
        m_Doc.SetStatusProgress(text, percent);
    }

    int CompilePortEvent(CSeq& sequence, CEvnt& event) override {
        return m_Doc.Services().CheckPortEvent(m_Doc, sequence, event);
    }

private:
    CVLDoc& m_Doc;
};

} // namespace

bool CVLDoc::ImportDosScript(const std::string& path) {
    DocumentHost host(*this);
    CDosImport import(std::string_view(FileBufferData(), FileBufferSize()), host, Services());
    const bool imported = import.ImportDosScript(path);

    // What was read stays with the document, also after a failure (the open then discards it).
    if (import.Product()) {
        DosScript& script = import.Result();
        m_strWork = script.dosVersion;
        m_strDescription = script.description;
        m_wAddress = script.address;
        m_wFrameRate = script.frameRateCode;
        m_wClockSource = script.clockSource;
        m_strExternalFrequency = script.externalFrequency;
        if (script.dataStringsRead)
            m_poDataStrList = std::move(script.dataStrings);
        if (script.sequencesRead) {
            m_posCurrentSeq = nullptr;
            m_poSeqList = std::move(script.sequences);
        }
    }
    return imported;
}
