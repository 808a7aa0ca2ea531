// Fuzzes the script writer's value rules: one text field of a read script (a sequence's name,
// description or trigger, an event's field, a string, a resource) is given arbitrary bytes,
// the script is saved and read again, and it must come back with the same sequences, each with
// its events, and every other sequence under its name. No text may split a line, open a
// section or hide a row.
#include "app/vl_app.h"
#include "platform/ui_services.h"
#include "script/vl_doc.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* rule) {
    std::fprintf(stderr, "script_field_edit: %s\n", rule);
    std::abort();
}

CVLApp& FuzzApp() {
    static CVLApp app;
    static const bool loaded = [] {
        app.m_strAppDir = std::filesystem::path(VELMORA_DATA_DIR).string();
        app.LoadDeviceDefinitions();
        return true;
    }();
    (void)loaded;
    return app;
}

const std::string& ShippedScript() {
    static const std::string text = [] {
        std::ifstream in(std::filesystem::path(VELMORA_DATA_DIR) / "SCRIPTS" / "Fountain.ksf",
                         std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    return text;
}

std::unique_ptr<CVLDoc> Read(std::string_view text) {
    auto doc = std::make_unique<CVLDoc>(FuzzApp());
    doc->LoadFileBuffer(text);
    const bool read = doc->ReadScript("fuzz.ksf");
    doc->FreeFileBuffer();
    if (!read || !doc->m_pProduct)
        Fail("a script the program wrote did not read back");
    return doc;
}

std::string Saved(CVLDoc& doc) {
    if (!doc.WriteScriptToBuffer(CVLDoc::kWriteAll, 1, static_cast<int>(doc.m_poSeqList.size())))
        Fail("the save failed");
    if (doc.WrittenText().size() != doc.WriteTotal())
        Fail("the save wrote other than it counted");
    std::string text(doc.WrittenText());
    doc.FreeFileBuffer();
    return text;
}

// The text field that `kind` and `index` pick, and the sequence it belongs to (or -1).
std::string* Field(CVLDoc& doc, unsigned kind, unsigned index, int& sequence) {
    sequence = -1;
    CProduct& product = *doc.m_pProduct;
    switch (kind % 8) {
    case 0:
        return &doc.m_strDescription;
    case 1:
        if (product.m_wInputs == 0)
            return nullptr;
        return index & 1 ? &product.m_Inputs[index % product.m_wInputs].m_strComment
                         : &product.m_Inputs[index % product.m_wInputs].m_strName;
    case 2:
        if (product.m_wPorts == 0)
            return nullptr;
        return index & 1 ? &product.m_Ports[index % product.m_wPorts].m_strComment
                         : &product.m_Ports[index % product.m_wPorts].m_strBaudRate;
    case 3: {
        if (doc.m_poDataStrList.empty())
            return nullptr;
        CDataStr& string = *doc.m_poDataStrList[index % doc.m_poDataStrList.size()];
        return index & 1 ? &string.m_strComment : &string.m_strName;
    }
    default:
        break;
    }
    if (doc.m_poSeqList.empty())
        return nullptr;
    sequence = static_cast<int>(index % doc.m_poSeqList.size());
    CSeq& seq = *doc.m_poSeqList[static_cast<std::size_t>(sequence)];
    switch (kind % 8) {
    case 4:
        return &seq.m_strName;
    case 5:
        return index & 1 ? &seq.m_strDescription : &seq.m_aTriggers[(index >> 1) % 4].m_strValue;
    default:
        break;
    }
    if (seq.m_poEventList.empty())
        return nullptr;
    CEvnt& e = *seq.m_poEventList[(index >> 2) % seq.m_poEventList.size()];
    // Only an event with a time and an event name: any one field then still leaves a row.
    if (e.m_strTime.empty() || e.m_strEvent.empty())
        return nullptr;
    std::string* const texts[] = {&e.m_strLabel, &e.m_strTime,  &e.m_strEvent, &e.m_strData1,
                                  &e.m_strData2, &e.m_strData3, &e.m_strData4, &e.m_strComment};
    return texts[(index + kind / 8) % std::size(texts)];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2 || size > 4096)
        return 0;
    static platform::SilentUi ui;
    platform::SetUi(&ui);
    {
        auto doc = Read(ShippedScript());
        int sequence = -1;
        std::string* field = Field(*doc, data[0], data[1], sequence);
        if (field) {
            field->assign(reinterpret_cast<const char*>(data + 2), size - 2);
            const std::string first = Saved(*doc);
            auto again = Read(first);
            if (again->m_poSeqList.size() != doc->m_poSeqList.size())
                Fail("the number of sequences changed");
            for (std::size_t i = 0; i < doc->m_poSeqList.size(); ++i) {
                const CSeq& before = *doc->m_poSeqList[i];
                const CSeq& after = *again->m_poSeqList[i];
                if (after.m_poEventList.size() != before.m_poEventList.size())
                    Fail("a sequence's number of events changed");
                if (static_cast<int>(i) != sequence && after.m_strName != before.m_strName)
                    Fail("a sequence that was not edited changed its name");
            }
        }
    }
    platform::SetUi(nullptr);
    return 0;
}
