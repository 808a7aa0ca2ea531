#include "compiler/compiler_state.h"

namespace {

CompilerState& State() {
    // Built on first use; the 64 KB image is not worth a static-initialisation-order risk.
    static CompilerState state;
    return state;
}

} // namespace

CompilerState& GetCompilerState() {
    return State();
}

void ResetCompilerState() {
    auto fresh = std::make_unique<CompilerState>();
    State() = std::move(*fresh);
}
