#include "script/time_wizard.h"

#include "script/time_conversions.h"

#include <cmath>

namespace timewizard {

namespace {

constexpr double kMaxFrames = 65535;

double Whole(double frames, FrameConversion conversion) {
    return conversion == FrameConversion::RoundHalfUp ? RoundHalfUp(frames) : std::trunc(frames);
}

// A normalised MM:SS.FF text as whole frames; none when the text does not normalise.
std::optional<double> ReadTime(std::string_view text, bool asFrameCount, const Settings& s) {
    const std::string normal =
        NormalizeTimeEntry(text, s.rate, 0, TimeEntrySettings{asFrameCount, false});
    if (normal.empty())
        return std::nullopt;
    return Whole(TimeTextToFrames(normal, s.rate), s.conversion);
}

// The dialog's entries are typed in the shown mode; the stored times are always time texts.
std::optional<double> ReadEntry(std::string_view text, const Settings& s) {
    return ReadTime(text, s.eventsInFrames, s);
}
std::optional<double> ReadStored(std::string_view text, const Settings& s) {
    return ReadTime(text, false, s);
}

// Cuts a frame count to whole seconds through its MM:SS.FF text.
double CutToSeconds(double frames, const Settings& s) {
    const ByteString parts = TimeTextToBytes(FramesToMinSecText(frames, s.rate));
    if (parts.size() < 4)
        return frames;
    const std::string text = TwoDigitText(parts[1]) + ":" + TwoDigitText(parts[2]) + ".00";
    return Whole(TimeTextToFrames(text, s.rate), s.conversion);
}

std::string Fill(std::string_view pattern, std::string_view value) {
    std::string text(pattern);
    const auto at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, value);
    return text;
}

// The whole number written before the first '%', 0 when there is none.
long long PercentOf(std::string_view text) {
    text = text.substr(0, text.find('%'));
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    long long p = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        p = p > 100000000 ? p : p * 10 + (text[i] - '0');
    return p;
}

std::string FrameCountText(double frames) {
    return std::to_string(static_cast<long long>(frames));
}

const char* const kFirstInvalid[] = {"Time to Add is invalid.  ", "Time to Subtract is invalid.  ",
                                     "Start time to fill is invalid.  ",
                                     "New Overall Sequence Length is invalid.  "};

} // namespace

std::string MaxEventTimeText(double rate) {
    if (rate == 24.0)
        return "45:30.15";
    if (rate == 25.0)
        return "43:41.10";
    if (rate == 29.97)
        return "36:26.20";
    return "36:24.15";
}

std::string RangeSentence(double rate) {
    return "Range is ( 0 - 65535 ) or ( 00:00.00 - " + MaxEventTimeText(rate) +
           " ).  Event Wizard aborted...";
}

EventRun SelectedRun(int eventCount, const std::function<bool(int)>& timeSelected) {
    EventRun run;
    run.first = eventCount - 1;
    for (int row = 0; row < eventCount - 1; ++row)
        if (timeSelected(row)) {
            run.first = row;
            break;
        }
    run.last = run.first;
    while (run.last + 1 < eventCount && timeSelected(run.last + 1))
        ++run.last;
    return run;
}

Outcome Plan(const std::vector<std::string>& times, EventRun run, const Request& request,
             const Settings& s) {
    Outcome outcome;
    const auto stop = [&](std::string message) {
        outcome.times.clear();
        outcome.stopMessage = std::move(message) + RangeSentence(s.rate);
        return outcome;
    };
    const int choice = request.choice;
    if (times.empty() || choice < kAdd || choice > kScale)
        return outcome;
    const std::string& lastTime = times.back();

    std::string firstText = request.firstText;
    if (choice == kScale && !firstText.empty() && firstText.find('%') != std::string::npos) {
        const double current = ReadStored(lastTime, s).value_or(0);
        double length = std::trunc(current * static_cast<double>(PercentOf(firstText)) / 100);
        // A length beyond the last frame would wrap at the hour in its text.
        if (length > kMaxFrames)
            return stop(kFirstInvalid[kScale]);
        if (request.roundToSecond)
            length = CutToSeconds(length, s);
        firstText = s.eventsInFrames ? FrameCountText(length) : FramesToMinSecText(length, s.rate);
    }

    const std::optional<double> a = ReadEntry(firstText, s);
    if (!a)
        return stop(kFirstInvalid[choice]);
    const std::optional<double> b = ReadEntry(request.incrementText, s);
    if (choice == kFill && !b)
        return stop("Increment time to fill is invalid.  ");

    double ratio = 0;
    if (choice == kScale) {
        if (lastTime.empty())
            return stop("The Last Event's Time is invalid.  ");
        const std::optional<double> c = ReadStored(lastTime, s);
        if (!c || *c == 0)
            return stop(Fill("The Last Event's Time [%s] is invalid.  ", lastTime));
        ratio = *a / *c;
    }

    int from = run.first, to = run.last;
    if (choice == kScale) {
        from = 0;
        to = static_cast<int>(times.size()) - 1;
    }
    if (from < 0 || to >= static_cast<int>(times.size()) || from > to)
        return outcome;

    double running = *a;
    for (int event = from; event <= to; ++event) {
        const std::optional<double> f = ReadStored(times[static_cast<std::size_t>(event)], s);
        if (!f)
            return stop(Fill("Highlighted event time [%s] is invalid.  ",
                             times[static_cast<std::size_t>(event)]));
        double next = *f;
        switch (choice) {
        case kAdd:
            if (!(request.skipZero && *f == 0))
                next = *f + *a;
            break;
        case kSubtract:
            if (!(request.skipZero && *f == 0))
                next = *f - *a;
            break;
        case kFill:
            next = running;
            break;
        default:
            next = std::trunc(*f * ratio);
            break;
        }
        if (next < 0 || next > kMaxFrames)
            return stop(
                Fill("New event time [%s] is invalid.  ", FramesToMinSecText(next, s.rate)));
        if (choice == kScale && request.roundToSecond)
            next = CutToSeconds(next, s);
        outcome.times.push_back({event, FramesToMinSecText(next, s.rate)});
        running += b.value_or(0);
    }
    if (choice == kScale)
        outcome.times.back().time =
            NormalizeTimeEntry(firstText, s.rate, 0, TimeEntrySettings{s.eventsInFrames, false});
    return outcome;
}

} // namespace timewizard
