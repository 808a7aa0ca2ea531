// Fuzzes the protocol reader: the bytes are a .pcl file read in both stages, strictly as Velmora
// reads it and leniently as the protocol editor does, and each of their lines is also parsed as
// a parameter's type expression in both modes. Bad input must end in a message,
// never a fault.
#include "platform/ui_services.h"
#include "script/protocol.h"
#include "script/protocol_list.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// Boxes are counted, not printed: thousands of runs would flood the log.
using platform::SilentUi;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static SilentUi ui;
    platform::SetUi(&ui);
    static const std::string path =
        "/tmp/velmora-fuzz-protocol-" + std::to_string(::getpid()) + ".pcl";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }

    for (ProtocolReading reading : {ProtocolReading::Strict, ProtocolReading::Lenient}) {
        CProList list;
        auto protocol = std::make_unique<CProtocol>();
        protocol->SetReading(reading);
        if (protocol->ReadDevice(path)) {
            CProtocol* p = list.AddTail(std::move(protocol));
            const int boxesBefore = ui.boxes;
            bool loaded = p->LoadCommands();
            if (loaded != p->IsLoaded())
                std::abort();
            if (!loaded && !p->m_poCmndList.empty())
                std::abort(); // a failed load keeps nothing
            if (reading == ProtocolReading::Lenient && !loaded && ui.boxes == boxesBefore)
                std::abort(); // a lenient load fails only with a message
            for (const auto& c : p->m_poCmndList) {
                if (c->m_nParamCount > CCmnd::kMaxParams || c->m_nByteCount > CCmnd::kMaxBytes)
                    std::abort();
                for (const auto& param : c->m_Params)
                    if (param.m_nGroupCount > CParam::kMaxGroups)
                        std::abort();
            }
            CProtocol* found = nullptr;
            list.FindProtocol(p->GetDisplayName(), found, true);
            list.FindProtocol("x->" + p->GetDisplayName(), found, false);
        }
    }
    ::unlink(path.c_str());

    // Each line as a type expression.
    std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        CParam param;
        param.m_strText = text.substr(start, end == std::string::npos ? end : end - start);
        for (ProtocolReading reading : {ProtocolReading::Strict, ProtocolReading::Lenient}) {
            bool ok = param.ParseTypes(reading, "Fuzz:Command");
            if (param.m_nGroupCount > CParam::kMaxGroups)
                std::abort();
            for (const auto& group : param.m_Or)
                if (group.m_nTermCount > COr::kMaxTerms)
                    std::abort();
            (void)ok;
        }
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    platform::SetUi(nullptr);
    return 0;
}
