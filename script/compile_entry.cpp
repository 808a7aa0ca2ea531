#include "script/compile_entry.h"

#include <utility>

namespace {

CompileMainEntry& Entry() {
    static CompileMainEntry entry;
    return entry;
}

} // namespace

CompileMainEntry SetCompileMainEntry(CompileMainEntry entry) {
    return std::exchange(Entry(), std::move(entry));
}

void CompileMain(CVLDoc& document) {
    // A copy: the entry may replace itself while it runs.
    CompileMainEntry entry = Entry();
    if (entry)
        entry(document);
}
