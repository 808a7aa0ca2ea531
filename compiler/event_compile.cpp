#include "compiler/event_compile.h"

#include "compiler/compiler_state.h"
#include "compiler/diagnostics.h"
#include "compiler/linked_resources.h"
#include "compiler/name_lookups.h"
#include "compiler/parameter_encoders.h"
#include "script/doc_list.h"
#include "script/protocol.h"
#include "script/protocol_list.h"
#include "script/text_utils.h"
#include "script/time_conversions.h"
#include "script/value_parsers.h"
#include "script/vl_doc.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// A frame's length bytes hold at most this.
constexpr std::size_t kMaxFrameLength = 255;

// A version text as a decimal number ("6.4"); 0 for a text that holds none. No locale.
double ReadVersion(std::string_view text) {
    while (!text.empty() && IsNameWhiteSpace(text.front()))
        text.remove_prefix(1);
    double value = 0.0;
    const auto result =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    return result.ec == std::errc() ? value : 0.0;
}

// The commands of a protocol, loaded on first use; none when there is no protocol or its
// commands cannot be read.
std::vector<CCmnd*> CommandsOf(CProtocol* protocol, std::string_view category) {
    std::vector<CCmnd*> commands;
    if (!protocol || !protocol->LoadCommands())
        return commands;
    // A command's category is its name up to a colon: no category holds one.
    if (category.find(':') != std::string_view::npos)
        return commands;
    // Compared in place, the name's length and colon first: this runs for every command of
    // the protocol for every event compiled.
    const std::size_t length = category.size();
    for (const auto& command : protocol->m_poCmndList) {
        const std::string_view name = command->m_strName;
        if (name.size() < length || (name.size() > length && name[length] != ':'))
            continue;
        if (EqualsNoCase(name.substr(0, length), category))
            commands.push_back(command.get());
    }
    return commands;
}

std::string EventCategory(const CEvnt& event) {
    return NormalizeName(event.m_strEvent, true);
}

// Records the version a compiled command asks for when it is the highest so far.
void TrackFirmware(double version, const std::string& text, const std::string& name,
                   bool external) {
    CompilerState& state = GetCompilerState();
    if (version > state.highestFirmware) {
        state.highestFirmware = version;
        state.highestFirmwareText = text;
        state.highestFirmwareCommand = name;
        state.highestFirmwareExternal = external;
    }
}

// An event error: a line in a full compile; in a single-event compile only counted, so that
// the caller, which looks at the error count, sees that the event did not compile.
void EventError(int report, std::string_view text) {
    if (report)
        ReportEventError(text);
    else
        ++GetCompilerState().errorCount;
}

void Append(ByteString& to, const ByteString& bytes) {
    to.insert(to.end(), bytes.begin(), bytes.end());
}

void AppendWord(ByteString& to, unsigned value) {
    to.push_back(static_cast<std::uint8_t>(value & 0xFF));
    to.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// A decimal digit string read with saturation: anything above the limit reads limit + 1.
std::uint32_t ReadDigits(std::string_view digits, std::uint32_t limit) {
    std::uint64_t value = 0;
    for (char c : digits) {
        value = value * 10 + static_cast<unsigned>(c - '0');
        if (value > limit)
            return limit + 1;
    }
    return static_cast<std::uint32_t>(value);
}

bool AllDigits(std::string_view text) {
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// The range of a "byte" or "word" term: two numbers joined by a comma, blanks ignored. A
// single number is the upper bound (from 0); an unreadable bound sets no limit.
bool InRange(std::string_view range, int value, int maximum) {
    std::string text;
    for (char c : range)
        if (!IsNameWhiteSpace(c))
            text += c;
    if (text.empty())
        return true;
    int lower = 0;
    int upper = maximum;
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) {
        if (const int v = ParseWordValue(text); v >= 0)
            upper = v;
    } else {
        if (const int v = ParseWordValue(std::string_view(text).substr(0, comma)); v >= 0)
            lower = v;
        if (const int v = ParseWordValue(std::string_view(text).substr(comma + 1)); v >= 0)
            upper = v;
    }
    return lower <= value && value <= upper;
}

// "S.F" or "F": seconds and frames as a frame count of at most 255; -1 otherwise.
int ByteTimeFrames(std::string_view text, double rate) {
    const std::size_t dot = text.find('.');
    std::string_view seconds;
    std::string_view frames = text;
    if (dot != std::string_view::npos) {
        seconds = text.substr(0, dot);
        frames = text.substr(dot + 1);
        if (seconds.empty())
            return -1;
    }
    if (frames.empty() || !AllDigits(seconds) || !AllDigits(frames))
        return -1;
    const std::uint32_t s = ReadDigits(seconds, 255);
    const std::uint32_t f = ReadDigits(frames, 255);
    const double total = s == 0 ? f : static_cast<double>(s) * rate + f;
    if (total > 255.0)
        return -1;
    return static_cast<int>(total);
}

// The "contains" rule: the value of the last item whose key's first character occurs in the
// text ("default" applies to an empty text); that character is then removed from the text.
// Items with no value after their key are ignored.
bool MatchContains(std::string_view list, std::string& text, ByteString& value) {
    std::string key;
    int result = -1;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= list.size(); ++i) {
        if (i < list.size() && list[i] != ',' && list[i] != '|')
            continue;
        const std::string_view item = list.substr(start, i - start);
        start = i + 1;
        const std::size_t colon = item.find(':');
        if (colon == std::string_view::npos || colon == 0 || colon + 1 == item.size())
            continue;
        const std::string_view itemKey = item.substr(0, colon);
        const bool applies = EqualsNoCase(itemKey, "default")
                                 ? text.empty()
                                 : text.find(itemKey.front()) != std::string::npos;
        if (applies) {
            key = std::string(itemKey);
            result = ParseByteValue(item.substr(colon + 1));
        }
    }
    if (key.empty() || result < 0)
        return false;
    if (!EqualsNoCase(key, "default"))
        std::erase(text, key.front());
    value = {static_cast<std::uint8_t>(result)};
    return true;
}

ByteString OneByte(int code) {
    return {static_cast<std::uint8_t>(code)};
}

// One And-term against the text t; on acceptance `value` holds what the term produced.
bool MatchTerm(CVLDoc& doc, const CAnd& term, std::string& t, ByteString& value,
               bool& duplicateLabel) {
    const std::string name = NormalizeName(t, true);
    auto code = [&value](int c) {
        if (c < 0)
            return false;
        value = OneByte(c);
        return true;
    };
    auto bytes = [&value](ByteString b) {
        if (b.empty())
            return false;
        value = std::move(b);
        return true;
    };
    switch (term.m_nType) {
    case kTypeInput:
        return code(FindInput(doc, name));
    case kTypeOutput:
        return code(FindOutput(doc, name));
    case kTypeFlag:
        return code(FindFlag(doc, name));
    case kTypeVar:
        return code(FindVariable(doc, name));
    case kTypePort:
        return code(doc.FindPort(name));
    case kTypeSequence:
        return code(FindSequence(doc, name));
    case kTypeRemoteInput:
        return code(FindRemoteInput(doc, name));
    case kTypeRemoteOutput:
        return code(FindRemoteOutput(doc, name));
    case kTypeRemoteFlag:
        return code(FindRemoteFlag(doc, name));
    case kTypeRemoteVar:
        return code(FindRemoteVariable(doc, name));
    case kTypeRemotePort:
        return code(FindRemotePort(doc, name));
    case kTypeRemoteSequence:
        return code(FindRemoteSequence(doc, name));
    case kTypePortTypeRemote: {
        const int port = doc.FindPort(name);
        if (port < 0 || port >= CProduct::kMaxPorts || !doc.m_pProduct ||
            !HasArrow(doc.m_pProduct->m_Ports[static_cast<std::size_t>(port)].m_strProtocol))
            return false;
        return code(port);
    }
    case kTypeDataString: {
        const int i = FindDataString(doc, name);
        if (i < 0 || static_cast<std::size_t>(i) >= doc.m_poDataStrList.size())
            return false;
        return bytes(
            DataStringToBytes(doc.m_poDataStrList[static_cast<std::size_t>(i)]->m_strData));
    }
    case kTypeLcdString: {
        const int i = FindLcdString(doc, name);
        if (i < 0 || static_cast<std::size_t>(i) >= doc.m_poLcdStrList.size())
            return false;
        return bytes(DataStringToBytes(doc.m_poLcdStrList[static_cast<std::size_t>(i)]->m_strData));
    }
    case kTypeString:
        if (!term.m_strArg.empty())
            return EqualsNoCase(name, NormalizeName(term.m_strArg, true));
        return bytes(DataStringToBytes(name));
    case kTypeByte: {
        const int v = ParseByteValue(name);
        if (v < 0 || !InRange(term.m_strArg, v, 255))
            return false;
        return code(v);
    }
    case kTypeWord: {
        const int v = ParseWordValue(name);
        if (v < 0 || !InRange(term.m_strArg, v, 65535))
            return false;
        value.clear();
        AppendWord(value, static_cast<unsigned>(v));
        return true;
    }
    case kTypeByteLabel: {
        const int offset = FindLabelByteOffset(name);
        if (offset == -3)
            duplicateLabel = true;
        return code(offset);
    }
    case kTypeWordLabel: {
        const int offset = FindLabelWordOffset(name);
        if (offset == -3)
            duplicateLabel = true;
        if (offset <= 0)
            return false;
        value.clear();
        AppendWord(value, static_cast<unsigned>(offset));
        return true;
    }
    case kTypeByteTime:
        return code(ByteTimeFrames(name, doc.GetFrameRate()));
    case kTypeWordTime: {
        const double frames = RoundHalfUp(EventTimeToFrames(name, doc.GetFrameRate()));
        if (!(frames >= 0.0 && frames <= 65535.0))
            return false;
        value.clear();
        AppendWord(value, static_cast<unsigned>(frames));
        return true;
    }
    case kTypeTime:
        return bytes(TimeTextToBytes(name));
    case kTypeFrameString:
        return bytes(FrameStringToDigits(name));
    case kTypeTimeString:
        return bytes(TimeStringToDigits(name));
    case kTypeTrackString:
        return bytes(TrackStringToDigits(name));
    case kTypeIpAddress:
        return bytes(IpAddressToBytes(name));
    case kTypeQornetValue:
        return bytes(QornetValueToBytes(name));
    case kTypeContains:
        return MatchContains(term.m_strArg, t, value);
    default:
        return false;
    }
}

// The port byte of an external frame: the remap number (low 8 bits) when the port has one,
// else its index. A runaway digit string is no remap number.
std::uint8_t PortByte(const CProductPort& port, int index) {
    constexpr std::uint32_t kMaxRemap = 65535;
    const std::string remap = NormalizeName(port.m_strRemap, false);
    if (!remap.empty() && AllDigits(remap)) {
        const std::uint32_t number = ReadDigits(remap, kMaxRemap);
        if (number <= kMaxRemap)
            return static_cast<std::uint8_t>(number & 0xFF);
    }
    return static_cast<std::uint8_t>(index);
}

std::uint8_t HalfSum(std::uint32_t sum) {
    return static_cast<std::uint8_t>((sum & 0xFF) >> 1);
}

std::uint32_t SumOf(const ByteString& bytes) {
    std::uint32_t sum = 0;
    for (std::uint8_t b : bytes)
        sum += b;
    return sum;
}

// Builds and appends the external body of the current command. False (after the event error)
// when the message does not fit in its frame.
bool AppendExternalBody(CVLDoc& doc, const CProtocol& protocol, const CProductPort& port,
                        int portIndex, int report) {
    CompilerState& state = GetCompilerState();
    const CCmnd& command = *state.currentCommand;
    CEvnt& event = *state.currentEvent;

    ByteString ack = EvaluateTemplate(doc, command.m_strMessageAck);
    Append(ack, EvaluateTemplate(doc, command.m_strCompletionAck));
    const ByteString message = EvaluateTemplate(doc, command.m_strMessage);
    const int timeout = ParseWordValue(command.m_strTimeout);
    const bool expectAnswer = report && timeout >= 0 && !ack.empty();
    const bool newFirmware = ReadVersion(command.m_strSupported) >= 6.4;

    const std::size_t length = message.size();
    const std::uint8_t address = static_cast<std::uint8_t>((doc.m_wAddress & 0xFF) | 0x80);
    const bool remote = HasArrow(port.m_strProtocol);
    ByteString frame;
    std::size_t lengthByte = length;
    if (EqualsNoCase(protocol.m_strProtocol, "OstrelBus")) {
        lengthByte = length + 2;
        frame = {static_cast<std::uint8_t>(length + 2), static_cast<std::uint8_t>(length + 1)};
        Append(frame, message);
        frame.push_back(HalfSum(SumOf(message)));
    } else if (EqualsNoCase(protocol.m_strProtocol, "Brevant9")) {
        std::uint8_t second = 0;
        bool addressed = false;
        if (remote) {
            const CVLDoc* linked = doc.Services().OpenDocuments().FindScriptByName(
                TextBeforeLastArrow(port.m_strProtocol));
            second = linked ? static_cast<std::uint8_t>(linked->m_wAddress & 0xFF) : 0;
            addressed = true;
        } else if (EqualsNoCase(protocol.m_strType, "Show Controller")) {
            addressed = true;
        }
        const std::size_t extra = addressed ? 4 : 3;
        lengthByte = length + extra;
        frame = {static_cast<std::uint8_t>(length + extra),
                 static_cast<std::uint8_t>(length + extra - 1), address};
        std::uint32_t sum = address;
        if (addressed) {
            frame.push_back(second);
            sum += second;
        }
        Append(frame, message);
        frame.push_back(HalfSum(sum + SumOf(message)));
    } else {
        frame = {static_cast<std::uint8_t>(length)};
        Append(frame, message);
    }
    if (lengthByte > kMaxFrameLength || (expectAnswer && ack.size() > kMaxFrameLength)) {
        EventError(report,
                   FormatCompileText("Event [%s] is too long to be sent: its frame "
                                     "would hold %u bytes, at most %u fit",
                                     command.GetName().c_str(),
                                     static_cast<unsigned>(std::max(lengthByte, ack.size())),
                                     static_cast<unsigned>(kMaxFrameLength)));
        return false;
    }

    ByteString& body = event.m_bsCompiled;
    body.push_back(0);
    body.push_back(expectAnswer ? (newFirmware ? 38 : 18) : (newFirmware ? 39 : 13));
    body.push_back(PortByte(port, portIndex));
    Append(body, frame);
    if (expectAnswer) {
        AppendWord(body, static_cast<unsigned>(timeout));
        const int retries = ParseByteValue(command.m_strRetries);
        body.push_back(static_cast<std::uint8_t>(retries < 0 ? 0 : retries));
        body.push_back(0);
        body.push_back(static_cast<std::uint8_t>(ack.size()));
        Append(body, ack);
    }
    return true;
}

} // namespace

int CheckPortEventOf(CVLDoc& doc, CSeq& sequence, CEvnt& event) {
    CompilerState& state = GetCompilerState();
    CVLDoc* const document = state.document;
    CSeq* const currentSequence = state.currentSequence;
    CEvnt* const currentEvent = state.currentEvent;
    CCmnd* const currentCommand = state.currentCommand;
    state.document = &doc;
    state.currentSequence = &sequence;
    state.currentEvent = &event;
    const int answer = CompilePortEvent(doc);
    state.document = document;
    state.currentSequence = currentSequence;
    state.currentEvent = currentEvent;
    state.currentCommand = currentCommand;
    return answer;
}

int CompilePortEvent(CVLDoc& doc) {
    CompilerState& state = GetCompilerState();
    const CEvnt* event = state.currentEvent;
    ForgetDeclinedLinkedScript();
    if (!event)
        return 1;
    if (doc.FindPort(NormalizeName(event->GetParam(0), true)) < 0)
        return 1;
    for (CCmnd* command : CommandsOf(doc.Services().EventProtocol(), EventCategory(*event))) {
        state.currentCommand = command;
        if (MatchEventParameters(doc, 0))
            return 1;
    }
    return 0;
}

namespace {

// No command of the event's category took its parameters: with no such command at all the
// event is unsupported; otherwise one event error, then each candidate is matched again with
// reporting on, so every refused parameter is named.
void ReportUnmatchedEvent(CVLDoc& doc, const std::vector<CCmnd*>& found, int report,
                          const std::string& unsupportedText) {
    if (found.empty()) {
        EventError(report, unsupportedText);
        return;
    }
    EventError(report, "");
    if (report) {
        CompilerState& state = GetCompilerState();
        for (CCmnd* command : found) {
            state.currentCommand = command;
            MatchEventParameters(doc, 1);
        }
    }
}

} // namespace

void CompileInternalEvent(CVLDoc& doc, int report) {
    CompilerState& state = GetCompilerState();
    CEvnt* event = state.currentEvent;
    if (!event)
        return;
    const std::string category = EventCategory(*event);

    if (report && doc.m_pProduct && doc.m_pProduct->m_wEvents != 0) {
        const CProduct& product = *doc.m_pProduct;
        bool listed = false;
        const std::size_t count =
            std::min<std::size_t>(product.m_wEvents, product.m_strEventNames.size());
        for (std::size_t i = 0; i < count && !listed; ++i)
            listed = EqualsNoCase(NormalizeName(product.m_strEventNames[i], true), category);
        if (!listed)
            ReportEventError(FormatCompileText("[%s] is not supported by the %s as an internal "
                                               "event",
                                               event->m_strEvent.c_str(),
                                               product.m_strName.c_str()));
    }
    if (report && state.currentSequence && state.currentSequence->m_nChaseOn &&
        (event->m_strEvent.rfind("If", 0) == 0 || EqualsNoCase(category, "Goto")))
        ReportEventWarning("Conditional Statements used with Timecode Chase Mode");

    std::vector<CCmnd*> found;
    for (CCmnd* command : CommandsOf(doc.Services().EventProtocol(), category)) {
        state.currentCommand = command;
        const double version = ReadVersion(command->m_strSupported);
        if (version < state.firmwareLimit) {
            found.push_back(command);
            if (MatchEventParameters(doc, 0)) {
                TrackFirmware(version, command->m_strSupported, command->GetName(), false);
                Append(event->m_bsCompiled, EvaluateTemplate(doc, command->m_strMessage));
                return;
            }
        } else if (report) {
            ReportEventError("");
            ReportFirmwareRequirement();
        }
    }
    ReportUnmatchedEvent(
        doc, found, report,
        FormatCompileText("[%s] is not supported as an internal event", event->m_strEvent.c_str()));
}

void CompileExternalEvent(CVLDoc& doc, int report) {
    CompilerState& state = GetCompilerState();
    CEvnt* event = state.currentEvent;
    if (!event || !doc.m_pProduct)
        return;
    const int portIndex = doc.FindPort(NormalizeName(event->GetParam(0), true));
    if (portIndex < 0 || portIndex >= CProduct::kMaxPorts)
        return;
    const CProductPort& port = doc.m_pProduct->m_Ports[static_cast<std::size_t>(portIndex)];

    CProtocol* protocol = nullptr;
    if (!doc.Services().Protocols().FindProtocol(port.m_strProtocol, protocol, false) ||
        !protocol) {
        if (report) {
            state.resourceIndex = portIndex;
            ReportPortError(FormatCompileText("[%s] is an unknown or invalid protocol for port %s",
                                              port.m_strProtocol.c_str(), port.m_strName.c_str()));
        } else {
            ++state.errorCount;
        }
        return;
    }

    const double protocolVersion = ReadVersion(protocol->m_strSupported);
    if (protocolVersion >= state.firmwareLimit) {
        if (report) {
            ReportEventError("");
            // The requirement is the protocol's own: name it and its version, not whichever
            // command the cursor last held.
            CCmnd protocolEntry(protocol->GetDisplayName());
            protocolEntry.m_strSupported = protocol->m_strSupported;
            CCmnd* const previous = state.currentCommand;
            state.currentCommand = &protocolEntry;
            ReportFirmwareRequirement();
            state.currentCommand = previous;
        } else {
            ++state.errorCount;
        }
    } else {
        TrackFirmware(protocolVersion, protocol->m_strSupported, protocol->GetDisplayName(), true);
    }

    const std::string category = EventCategory(*event);
    const std::vector<CCmnd*> found = CommandsOf(protocol, category);
    for (CCmnd* command : found) {
        state.currentCommand = command;
        if (MatchEventParameters(doc, 0)) {
            TrackFirmware(ReadVersion(command->m_strSupported), command->m_strSupported,
                          command->GetName(), true);
            AppendExternalBody(doc, *protocol, port, portIndex, report);
            return;
        }
    }
    ReportUnmatchedEvent(doc, found, report,
                         FormatCompileText("Event [%s] is not supported by the %s protocol",
                                           event->m_strEvent.c_str(),
                                           protocol->GetDisplayName().c_str()));
}

int MatchEventParameters(CVLDoc& doc, int report) {
    CompilerState& state = GetCompilerState();
    const CCmnd* command = state.currentCommand;
    const CEvnt* event = state.currentEvent;
    if (!command || !event)
        return 0;
    ParamValueArray& values = CurrentParamValues();
    const int count = std::clamp(command->m_nParamCount, 0, CCmnd::kMaxParams);
    bool result = true;
    for (int p = 0; p < count; ++p) {
        const CParam& param = command->m_Params[static_cast<std::size_t>(p)];
        ByteString& value = values[static_cast<std::size_t>(p)];
        value.clear();
        const std::string text = event->GetParam(p);
        bool accepted = false;
        bool duplicateLabel = false;
        if (!text.empty()) {
            const int groups = std::clamp(param.m_nGroupCount, 0, CParam::kMaxGroups);
            for (int g = 0; g < groups && !accepted; ++g) {
                const COr& group = param.m_Or[static_cast<std::size_t>(g)];
                const int terms = std::clamp(group.m_nTermCount, 0, COr::kMaxTerms);
                std::string t = text;
                accepted = true;
                for (int a = 0; a < terms && accepted; ++a)
                    accepted = MatchTerm(doc, group.m_And[static_cast<std::size_t>(a)], t, value,
                                         duplicateLabel);
            }
        }
        if (accepted)
            continue;
        result = false;
        if (!report)
            continue;
        if (param.m_strDescription.empty())
            ReportParameterNotFound(
                command->GetName(),
                FormatCompileText(
                    "Parameter %d failed parameter check ( no specific error message )", p + 1),
                p);
        else if (duplicateLabel)
            ReportUnitError(
                FormatCompileText("[%s] Duplicate Label Found", command->GetName().c_str()));
        else
            ReportParameterNotFound(command->GetName(), param.m_strDescription, p);
    }
    for (int p = count; p < CCmnd::kMaxParams; ++p)
        if (!event->GetParam(p).empty())
            result = false;
    if (report && !result)
        PostCompileMessage("");
    return result ? 1 : 0;
}

ByteString EvaluateTemplate(CVLDoc& doc, std::string_view text) {
    CompilerState& state = GetCompilerState();
    CurrentLengthBytePosition() = -1;
    state.message.clear();

    std::string item;
    bool inQuotes = false;
    int depth = 0;
    auto flush = [&]() {
        if (!item.empty())
            Append(state.message, EvaluateTemplateItem(doc, item));
        item.clear();
    };
    for (char c : text) {
        if (c == '"') {
            inQuotes = !inQuotes;
            item += c;
        } else if (inQuotes) {
            item += c;
        } else if (c == '(') {
            ++depth;
            item += c;
        } else if (c == ')') {
            item += c;
            if (depth > 0)
                --depth;
            if (depth == 0)
                flush();
        } else if (depth > 0) {
            item += c;
        } else if (c == ',' || IsNameWhiteSpace(c)) {
            flush();
        } else {
            item += c;
        }
    }
    flush();

    const std::int32_t position = CurrentLengthBytePosition();
    if (position >= 0 && static_cast<std::size_t>(position) < state.message.size())
        state.message[static_cast<std::size_t>(position)] = static_cast<std::uint8_t>(
            state.message[static_cast<std::size_t>(position)] + state.message.size());
    return state.message;
}

ByteString EvaluateTemplateItem(CVLDoc& /*doc*/, std::string_view item) {
    for (int number = 0; number < kParamFunctionCount; ++number) {
        ByteString result = DispatchParamFunction(item, number);
        if (!result.empty())
            return result;
    }
    if (const int n = FindParamReference(item); n >= 0) {
        const ByteString& value = CurrentParamValues()[static_cast<std::size_t>(n)];
        if (!value.empty())
            return {value.front()};
    }
    if (item.size() >= 2 && item.front() == '"' && item.back() == '"')
        return ByteString(item.begin() + 1, item.end() - 1);
    if (const int value = ParseByteValue(item); value >= 0)
        return {static_cast<std::uint8_t>(value)};
    return {};
}

bool CompileSingleEvent(CVLDoc& doc, CSeq& sequence, int sequenceIndex, CEvnt& event,
                        int eventIndex) {
    CompilerState& state = GetCompilerState();
    state.document = &doc;
    state.currentSequence = &sequence;
    state.currentSequenceIndex = sequenceIndex;
    state.currentEvent = &event;
    state.currentEventIndex = eventIndex;
    state.firmwareLimit = kDefaultFirmwareLimit;
    state.errorCount = 0;
    state.warningCount = 0;
    event.m_bsCompiled.clear();
    if (CompilePortEvent(doc))
        CompileInternalEvent(doc, 0);
    else
        CompileExternalEvent(doc, 0);
    return state.errorCount == 0;
}
