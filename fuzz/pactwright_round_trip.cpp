// Fuzzes the protocol editor's open and save: whatever file opens (leniently, as the editor
// reads) is saved, and the saved file must read back to the very same model. Bad input ends in
// a message, never a fault.
#include "pactwright/core/pactwright_doc.h"
#include "platform/ui_services.h"
#include "tests/pactwright/protocol_snapshot.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static platform::SilentUi ui;
    platform::SetUi(&ui);
    static const std::string base = "/tmp/pactwright-fuzz-" + std::to_string(::getpid());
    const std::string in = base + ".pcl", out = base + "-saved.pcl";
    {
        std::ofstream file(in, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    pactwright::CPactwrightDoc doc;
    if (doc.OnOpenDocument(in)) {
        if (!doc.OnSaveDocument(out))
            std::abort(); // a model read from a file always saves
        CProtocol again;
        again.SetReading(ProtocolReading::Lenient);
        if (!again.ReadDevice(out) || !again.LoadCommands())
            std::abort();
        if (pactwright_test::Snapshot(again) != pactwright_test::Snapshot(doc.Protocol())) {
            std::fprintf(stderr, "saved file reads back differently:\n%s\n---\n%s\n",
                         pactwright_test::Snapshot(doc.Protocol()).c_str(),
                         pactwright_test::Snapshot(again).c_str());
            std::abort();
        }
    }
    ::unlink(in.c_str());
    ::unlink(out.c_str());
    platform::SetUi(nullptr);
    return 0;
}
