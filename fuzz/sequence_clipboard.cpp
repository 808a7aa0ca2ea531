// A "VelmoraSeqs" block from the clipboard may come from anywhere: reading it must end within
// the block, and what it reads must write back to a block that reads the same.
#include "script/sequence_clipboard.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const clipboard::SequencesBlock read = clipboard::ReadSequencesBlock({data, size});
    if (read.status != clipboard::SequencesBlock::Status::Ok) {
        if (!read.sequences.empty())
            std::abort();
        return 0;
    }
    std::vector<const CSeq*> seqs;
    for (const auto& seq : read.sequences)
        seqs.push_back(seq.get());
    const std::vector<std::uint8_t> once = clipboard::WriteSequencesBlock(seqs);
    const clipboard::SequencesBlock again = clipboard::ReadSequencesBlock(once);
    if (again.status != clipboard::SequencesBlock::Status::Ok ||
        again.sequences.size() != seqs.size())
        std::abort();
    seqs.clear();
    for (const auto& seq : again.sequences)
        seqs.push_back(seq.get());
    if (clipboard::WriteSequencesBlock(seqs) != once)
        std::abort();
    return 0;
}
