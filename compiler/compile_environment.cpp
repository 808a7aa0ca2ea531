#include "compiler/compile_environment.h"

#include <chrono>
#include <ctime>
#include <utility>

namespace {

DownloadHandOff& HandOff() {
    static DownloadHandOff handOff;
    return handOff;
}

CompileClock& Clock() {
    static CompileClock clock;
    return clock;
}

DropoutToleranceSource& Dropout() {
    static DropoutToleranceSource source;
    return source;
}

int& PopupDelay() {
    static int ticks = 18;
    return ticks;
}

CompileClockTime SystemLocalTime() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    if (!localtime_r(&now, &local))
        return {};
    return {local.tm_hour, local.tm_sec};
}

} // namespace

DownloadHandOff SetDownloadHandOff(DownloadHandOff handOff) {
    return std::exchange(HandOff(), std::move(handOff));
}

const DownloadHandOff& GetDownloadHandOff() {
    return HandOff();
}

CompileClock SetCompileClock(CompileClock clock) {
    return std::exchange(Clock(), std::move(clock));
}

CompileClockTime CompileLocalTime() {
    return Clock() ? Clock()() : SystemLocalTime();
}

int GetPopupDelayTicks() {
    return PopupDelay();
}

void SetPopupDelayTicks(int ticks) {
    PopupDelay() = ticks < 0 ? 0 : ticks;
}

DropoutToleranceSource SetDropoutToleranceSource(DropoutToleranceSource source) {
    return std::exchange(Dropout(), std::move(source));
}

std::uint16_t GetDropoutTolerance(const CVLDoc& doc) {
    return Dropout() ? Dropout()(doc) : 5;
}
