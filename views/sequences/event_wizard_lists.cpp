#include "views/sequences/event_wizard_lists.h"

#include "script/protocol_list.h"
#include "script/text_utils.h"
#include "script/vl_doc.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace eventwizard {

namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

bool StartsNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

bool LessNoCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(Lower(x)) < static_cast<unsigned char>(Lower(y));
    });
}

// The port protocols a script's events can come from: ports within the product's count whose
// protocol is set and known.
std::vector<const CProtocol*> PortProtocols(CVLDoc& doc) {
    std::vector<const CProtocol*> protocols;
    if (!doc.m_pProduct)
        return protocols;
    const CProduct& product = *doc.m_pProduct;
    for (int i = 0; i < product.m_wPorts && i < CProduct::kMaxPorts; ++i) {
        const std::string& name = product.m_Ports[static_cast<std::size_t>(i)].m_strProtocol;
        CProtocol* protocol = nullptr;
        if (!EqualNoCase(name, "None") &&
            doc.Services().Protocols().FindProtocol(name, protocol, false) && protocol)
            protocols.push_back(protocol);
    }
    return protocols;
}

const CProtocol* PortProtocolOf(CVLDoc& doc, const CEvnt& event, bool& isPort) {
    const int port = doc.FindPort(event.GetParam(0));
    isPort = port >= 0 && doc.m_pProduct;
    if (!isPort)
        return nullptr;
    CProtocol* protocol = nullptr;
    doc.Services().Protocols().FindProtocol(
        doc.m_pProduct->m_Ports[static_cast<std::size_t>(port)].m_strProtocol, protocol, false);
    return protocol;
}

// One help line: the name, then the text over at most two tab-indented lines.
void AppendSplit(std::string& out, const std::string& name, const std::string& text,
                 std::size_t width) {
    out += name;
    out += "\r\n\t";
    const SplitText split = SplitTextAtBlank(text, width);
    out += split.head;
    if (!split.tail.empty()) {
        out += "\r\n\t";
        out += split.tail;
    }
    out += "\r\n";
}

std::string Format(const char* pattern, int value) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return buffer;
}

constexpr std::size_t kMaxVariations = 20;

} // namespace

void InsertSorted(std::vector<std::string>& entries, std::string entry) {
    const auto at = std::upper_bound(
        entries.begin(), entries.end(), entry,
        [](const std::string& a, const std::string& b) { return LessNoCase(a, b); });
    entries.insert(at, std::move(entry));
}

int FindPrefix(const std::vector<std::string>& entries, std::string_view prefix) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (StartsNoCase(entries[i], prefix))
            return static_cast<int>(i);
    return -1;
}

int FindExact(const std::vector<std::string>& entries, std::string_view text) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (EqualNoCase(entries[i], text))
            return static_cast<int>(i);
    return -1;
}

int FindTyped(const std::vector<std::string>& entries, const std::vector<std::string>& prefixes,
              std::string_view typed) {
    for (const std::string& prefix : prefixes) {
        const int found = FindPrefix(entries, prefix + std::string(typed));
        if (found >= 0)
            return found;
    }
    return -1;
}

void AddProtocolEvents(std::vector<std::string>& entries, const CProtocol& protocol, bool builtIn) {
    const std::string own(builtIn ? kInternal : kExternal);
    const std::string other(builtIn ? kExternal : kInternal);
    for (const auto& command : protocol.m_poCmndList) {
        const std::string name = command->GetCategory();
        if (FindExact(entries, own + name) >= 0)
            continue;
        const int otherAt = FindExact(entries, other + name);
        if (otherAt >= 0) {
            entries.erase(entries.begin() + otherAt);
            InsertSorted(entries, std::string(kBoth) + name);
        } else if (FindExact(entries, std::string(kBoth) + name) < 0) {
            InsertSorted(entries, own + name);
        }
    }
}

EventsList BuildEventsList(CVLDoc& doc, const CEvnt& event) {
    EventsList list;
    if (const CProtocol* internal = doc.Services().EventProtocol()) {
        list.label = internal->GetDisplayName();
        AddProtocolEvents(list.entries, *internal, true);
    }
    bool isPort = false;
    const CProtocol* portProtocol = PortProtocolOf(doc, event, isPort);
    if (!isPort) {
        list.label = kAllEventsLabel;
        for (const CProtocol* protocol : PortProtocols(doc))
            AddProtocolEvents(list.entries, *protocol, false);
    } else if (portProtocol) {
        list.specific = portProtocol;
        list.label = portProtocol->GetDisplayName();
        AddProtocolEvents(list.entries, *portProtocol, false);
    }
    for (std::string_view prefix : {kInternal, kExternal, kBoth}) {
        list.highlighted = FindPrefix(list.entries, std::string(prefix) + event.m_strEvent);
        if (list.highlighted >= 0)
            break;
    }
    return list;
}

std::string VariationsText(CVLDoc& doc, const CProtocol* specific, std::string_view entry) {
    const std::string name(entry.size() > kBoth.size() ? entry.substr(kBoth.size()) : "");
    struct Variation {
        std::string name, description;
    };
    std::vector<Variation> collected;
    const auto collect = [&](const CProtocol& protocol) {
        for (const auto& command : protocol.m_poCmndList) {
            if (collected.size() >= kMaxVariations)
                return;
            if (!EqualNoCase(command->GetCategory(), name))
                continue;
            const bool seen =
                std::any_of(collected.begin(), collected.end(), [&](const Variation& v) {
                    return EqualNoCase(v.name, command->m_strName) &&
                           EqualNoCase(v.description, command->m_strDescription);
                });
            if (!seen)
                collected.push_back({command->m_strName, command->m_strDescription});
        }
    };
    if (const CProtocol* internal = doc.Services().EventProtocol())
        collect(*internal);
    if (specific)
        collect(*specific);
    else
        for (const CProtocol* protocol : PortProtocols(doc))
            collect(*protocol);

    std::string text = name + " Variations\r\n\r\n";
    for (const Variation& v : collected) {
        if (v.name.empty())
            break;
        AppendSplit(text, v.name,
                    v.description.empty() ? "No Description Available" : v.description, 50);
    }
    return text;
}

DataHelp DataFieldHelp(CVLDoc& doc, const CEvnt& event, int parameter) {
    DataHelp help;
    char label[300];
    std::snprintf(label, sizeof label, "Event: %s- Help for parameter %d",
                  event.m_strEvent.substr(0, 200).c_str(), parameter);
    help.label = label;

    std::vector<const CProtocol*> sources;
    const CProtocol* internal = doc.Services().EventProtocol();
    if (parameter == 1) {
        if (internal)
            sources.push_back(internal);
        for (const CProtocol* protocol : PortProtocols(doc))
            sources.push_back(protocol);
    } else {
        bool isPort = false;
        const CProtocol* portProtocol = PortProtocolOf(doc, event, isPort);
        if (isPort) {
            if (portProtocol)
                sources.push_back(portProtocol);
        } else if (internal) {
            sources.push_back(internal);
        }
    }
    std::vector<std::string> names;
    for (const CProtocol* protocol : sources)
        for (const auto& command : protocol->m_poCmndList) {
            if (names.size() >= kMaxVariations)
                break;
            if (!EqualNoCase(command->GetCategory(), event.m_strEvent) ||
                FindExact(names, command->m_strName) >= 0)
                continue;
            names.push_back(command->m_strName);
            std::string text;
            if (command->m_nParamCount < parameter)
                text = command->m_nParamCount == 0
                           ? "This event does not require any parameters"
                           : Format("This event does not require parameter %d", parameter);
            else {
                text = command->m_Params[static_cast<std::size_t>(parameter - 1)].m_strDescription;
                if (text.empty())
                    text = "No parameter help available";
            }
            AppendSplit(help.text, command->m_strName, text, 65);
        }
    return help;
}

namespace {

// The resources of one kind: name and comment.
struct Resource {
    std::string_view name, comment;
};

std::vector<Resource> ResourcesOf(const CVLDoc& doc, std::string_view prefix) {
    std::vector<Resource> out;
    const auto products = [&](const auto& array, int count) {
        for (int i = 0; i < count && i < static_cast<int>(array.size()); ++i)
            out.push_back({array[static_cast<std::size_t>(i)].m_strName,
                           array[static_cast<std::size_t>(i)].m_strComment});
    };
    const CProduct* product = doc.m_pProduct.get();
    if (prefix == "Data:  ")
        for (const auto& s : doc.m_poDataStrList)
            out.push_back({s->m_strName, s->m_strComment});
    else if (prefix == "LCD:   ")
        for (const auto& s : doc.m_poLcdStrList)
            out.push_back({s->m_strName, s->m_strComment});
    else if (prefix == "Seq:   ")
        for (const auto& s : doc.m_poSeqList)
            out.push_back({s->m_strName, s->m_strDescription});
    else if (product && prefix == "Flag:  ")
        products(product->m_Flags, product->m_wFlags);
    else if (product && prefix == "Input: ")
        products(product->m_Inputs, product->m_wInputs);
    else if (product && prefix == "Output:")
        products(product->m_Outputs, product->m_wOutputs);
    else if (product && prefix == "Port:  ")
        products(product->m_Ports, product->m_wPorts);
    else if (product && prefix == "Var:   ")
        products(product->m_Vars, product->m_wVars);
    return out;
}

// Where the highlight starts for an event when no name is preset.
const char* StartPrefixForEvent(std::string_view event) {
    static const std::array<std::pair<const char*, std::vector<std::string_view>>, 5> kinds{{
        {"Input: ", {"IfOn", "IfOff"}},
        {"Output:", {"On", "Off", "Blink", "Pulse", "Toggle"}},
        {"LCD:   ", {"Display"}},
        {"Seq:   ", {"Start", "Stop", "Pause", "Reset"}},
        {"Var:   ",
         {"SetVarEQ", "AddVar", "SubVar", "IfVarEQ", "IfVarNE", "IfVarLT", "IfVarGT", "IfVarLE",
          "IfVarGE", "ShowVar", "SendVar", "SendAsciiDec", "SendAsciiHex", "PutVar", "SaveVar",
          "RestoreVar"}},
    }};
    for (const auto& [prefix, names] : kinds)
        if (std::find(names.begin(), names.end(), event) != names.end())
            return prefix;
    return nullptr; // "Msgout" and every other event: the list's first entry
}

} // namespace

ResourceList BuildResourceList(const CVLDoc& doc, std::string_view preset,
                               std::string_view eventName) {
    ResourceList list;
    for (const char* prefix : kResourcePrefixes)
        for (const Resource& r : ResourcesOf(doc, prefix))
            InsertSorted(list.entries, prefix + std::string(r.name));
    if (!preset.empty()) {
        for (const char* prefix : kPresetOrder) {
            list.highlighted = FindPrefix(list.entries, prefix + std::string(preset));
            if (list.highlighted >= 0)
                break;
        }
        list.showComment = true;
        return list;
    }
    const char* start = StartPrefixForEvent(eventName);
    list.highlighted = start ? FindPrefix(list.entries, start) : (list.entries.empty() ? -1 : 0);
    return list;
}

std::string ResourceComment(const CVLDoc& doc, std::string_view entry) {
    if (entry.size() <= 7)
        return {};
    const std::string_view prefix = entry.substr(0, 7);
    const std::string_view name = entry.substr(7);
    for (const Resource& r : ResourcesOf(doc, prefix))
        if (r.name == name)
            return std::string(r.comment);
    return {};
}

int ResourceDialogHeight(std::string_view comment) {
    return 262 + 16 * static_cast<int>(std::count(comment.begin(), comment.end(), '\n'));
}

} // namespace eventwizard
