// Loads arbitrary bytes as a reproducer configuration and reads every setting through its
// binders: every trigger is encoded, every reproducer and CobraNet channel read, and the result
// saved. The same bytes are then fed to the trigger table as an uploaded table. Nothing may crash
// and a save must write exactly what it counted.
#include "reproducer/cobranet_elements.h"
#include "reproducer/reelvox_data_document.h"
#include "reproducer/reproducer_elements.h"
#include "reproducer/smpte_settings_element.h"
#include "reproducer/timecode_trigger_elements.h"
#include "reproducer/trigger_table.h"

#include "foundation/byte_buffer.h"
#include "foundation/smpte_timecode.h"
#include "foundation/text_string.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

class SilentOwner : public ReelvoxTriggerTableOwner_c {
public:
    std::int32_t SendTriggerCommand(std::uint8_t, const std::uint8_t*, std::int32_t length,
                                    std::uint32_t) override {
        return length + 4;
    }
};

void ReadSmpte(ReelvoxDataSMPTEInterface_c* smpte) {
    if (smpte == nullptr) {
        return;
    }
    QORSMPTETimecode_c time;
    QORString_c text;
    smpte->Mode();
    smpte->FrameRate();
    smpte->GetPreroll(&time);
    smpte->GetStart(&time);
    smpte->GetEnd(&time);
    smpte->Transition();
    smpte->UnitNumber();
    std::uint8_t groups[9] = {};
    smpte->UnitGroups(groups);
    for (std::uint8_t kind = 0; kind < 3; ++kind) {
        smpte->AddressField(kind, &text);
    }
    smpte->ClockFreq();
    smpte->UnitType();
    smpte->SplayDelay();
    smpte->SmpteLv();
    smpte->BitsCapable();
    smpte->VideoFormat();
    smpte->ControlSource();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 1 << 14) {
        return 0;
    }
    const auto length = static_cast<std::int32_t>(size);
    ReelvoxDataDocument_c document;
    QORBuffer_c input;
    input.Resize(length);
    input.CopyIn(length, data);
    document.Load(&input);

    SilentOwner owner;
    ReelvoxTriggerTable_c table;
    ReelvoxData_c* root = document.Root();
    if (root != nullptr) {
        root->IgnoreErrors();
        ReelvoxDataSMPTEInterface_c* smpte = root->SMPTE();
        ReadSmpte(smpte);
        if (smpte != nullptr) {
            table.Bind(&owner, smpte->WorkingTimecode(), &document);
            table.Download(QOR_TRUE);
        }
        ReelvoxDataReproducers_c* repros = root->Reproducers();
        const std::int32_t units = repros != nullptr ? repros->LiveCount() : 0;
        for (std::int32_t unit = 1; unit <= units && unit <= 20; ++unit) {
            ReelvoxDataReproducer_c* repro =
                document.ReproducerElement(static_cast<std::uint8_t>(unit));
            if (repro != nullptr) {
                std::uint8_t groups[13] = {};
                repro->Groups(groups);
                repro->Product();
                repro->OutputFormat();
            }
        }
        if (ReelvoxDataCobraNets_c* cobranets = root->CobraNets()) {
            for (std::int32_t d = 0; d < cobranets->LiveCount(); ++d) {
                auto* device = dynamic_cast<ReelvoxDataCobraNet_c*>(cobranets->ItemAt(d, 253));
                if (device == nullptr || device->Bundles() == nullptr) {
                    continue;
                }
                for (std::int32_t b = 0; b < device->Bundles()->LiveCount(); ++b) {
                    auto* bundle = dynamic_cast<ReelvoxDataCobraNetBundle_c*>(
                        device->Bundles()->ItemAt(b, 253));
                    if (bundle == nullptr || bundle->Channels() == nullptr) {
                        continue;
                    }
                    for (std::int32_t c = 0; c < bundle->Channels()->LiveCount(); ++c) {
                        auto* channel = dynamic_cast<ReelvoxDataCobraNetChannel_c*>(
                            bundle->Channels()->ItemAt(c, 253));
                        if (channel != nullptr && channel->AudioChannel() > 16) {
                            std::fprintf(stderr, "audio channel out of range\n");
                            std::abort();
                        }
                    }
                }
            }
        }
    }

    QORBuffer_c output;
    const std::int32_t written = document.Save(&output);
    if (written >= 0 && output.Size() != written) {
        std::fprintf(stderr, "saved text differs from its count\n");
        std::abort();
    }

    // The same bytes as a table the unit uploads.
    table.UploadReply(nullptr);
    QORBuffer_c reply;
    reply.Resize(length);
    reply.CopyIn(length, data);
    table.UploadReply(&reply);
    table.UploadReply(nullptr);
    return 0;
}
