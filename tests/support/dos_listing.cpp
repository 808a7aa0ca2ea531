#include "tests/support/dos_listing.h"

#include "script/product.h"

#include <gtest/gtest.h>

namespace testing_support {

namespace {

std::string Right(int number, std::size_t width) {
    std::string text = std::to_string(number);
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

void AddResourcePage(std::vector<std::string>& lines, const char* page,
                     const CProductResource* resources, int count, bool first) {
    if (!first) {
        lines.emplace_back("");
        lines.emplace_back("");
    }
    lines.emplace_back(page);
    lines.emplace_back("");
    lines.emplace_back(" #  Name");
    for (int i = 0; i < count; ++i)
        lines.push_back(Right(i + 1, 4) + "  " + resources[i].m_strName);
}

} // namespace

std::string Col(std::string_view text, std::size_t width) {
    std::string out(text);
    if (out.size() < width)
        out.append(width - out.size(), ' ');
    return out;
}

std::string DosPortLine(int port, std::string_view name, std::string_view baud, char parity,
                        char dataBits, char stopBits, std::string_view type) {
    return Right(port, 4) + "  " + Col(name, 8) + "  " + Col(baud, 5) + "  " + parity + "  " +
           dataBits + "  " + stopBits + "  " + std::string(type);
}

std::string DosTriggerLine(std::string_view label, std::string_view io, std::string_view logic,
                           std::string_view variable, std::string_view comparison,
                           std::string_view value, std::string_view sense) {
    return Col(label, 18) + Col(io, 8) + "  " + Col(logic, 4) + " " + Col(variable, 8) + "   " +
           Col(comparison, 4) + Col(value, 8) + "    " + std::string(sense);
}

std::string DosEventLine(std::string_view label, std::string_view time, std::string_view event,
                         std::string_view data1, std::string_view data2, std::string_view data3,
                         std::string_view comment) {
    return Col(label, 8) + "  " + Col(time, 8) + "     " + Col(event, 8) + "  " + Col(data1, 8) +
           "  " + Col(data2, 8) + "  " + Col(data3, 8) + "  " + std::string(comment);
}

std::string DosSmpteLine(std::string_view state, std::string_view time) {
    return "SMPTE Trip      - " + std::string(state) + "  Frame - " + std::string(time);
}

DosListing::DosListing(const CProduct& product) {
    lines = {"KSX Ver 5.60",
             "Converted listing",
             "",
             "",
             "Card Type     - " + product.m_strName,
             "Card Address  - 0",
             "Timebase Rate - 30",
             "Sync Source   - PROCESSOR",
             "Ext Sync Freq - 0",
             "",
             "Comments      - "};
    AddResourcePage(lines, "*INPUTS", product.m_Inputs.data(), product.m_wInputs, true);
    AddResourcePage(lines, "*OUTPUTS", product.m_Outputs.data(), product.m_wOutputs, false);
    AddResourcePage(lines, "*FLAGS", product.m_Flags.data(), product.m_wFlags, false);
    AddResourcePage(lines, "*STATE VARIABLES", product.m_Vars.data(), product.m_wVars, false);
    lines.insert(lines.end(),
                 {"", "", "*SERIAL PORTS", "", "Port  Name      Baud   P  D  S  Type"});
    for (int p = 0; p < product.m_wPorts; ++p)
        lines.push_back(DosPortLine(p, "port" + std::to_string(p), "9600", 'N', '8', '1', "None"));
    lines.insert(lines.end(), {"", "", "*STRINGS", "", "Name      Data", ""});
    lines.emplace_back("\f*TOVA  *END");
}

std::size_t DosListing::Find(std::string_view prefix) const {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].compare(0, prefix.size(), prefix) == 0)
            return i;
    return lines.size();
}

std::string& DosListing::Line(std::string_view prefix) {
    std::size_t at = Find(prefix);
    EXPECT_LT(at, lines.size()) << "no line begins with " << prefix;
    static std::string none;
    return at < lines.size() ? lines[at] : none;
}

void DosListing::InsertBefore(std::string_view prefix, const std::vector<std::string>& more) {
    std::size_t at = Find(prefix);
    ASSERT_LT(at, lines.size()) << prefix;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), more.begin(), more.end());
}

void DosListing::AddDataString(std::string line) {
    // Before the empty line that ends the page.
    std::size_t at = Find("Name      Data") + 1;
    while (at < lines.size() && !lines[at].empty())
        ++at;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

void DosListing::AddPage(const DosSequencePage& page) {
    std::vector<std::string> out = {"\f*TOVA\tSCRIPT  page", "", "", "", "", ""};
    out.push_back("Sequence Name  - " + page.name);
    out.push_back("Comments       - " + (page.comments.empty() ? std::string() : page.comments[0]));
    for (std::size_t i = 1; i < page.comments.size(); ++i)
        out.push_back(page.comments[i]);
    out.insert(out.end(), {"*SEQUENCE CONFIGURATION", "", "", ""});
    static const char* const kLabels[] = {"Start Trigger   - ", "Stop Trigger    - ",
                                          "Pause Trigger   - ", "Reset Trigger   - "};
    for (int t = 0; t < 4; ++t)
        out.push_back(page.triggers.size() == 4 ? page.triggers[static_cast<std::size_t>(t)]
                                                : DosTriggerLine(kLabels[t], "none", "none", "none",
                                                                 "none", "none", "Active On"));
    out.push_back("Restart         - " + page.restart);
    out.push_back("Restart Lockout - " + page.lockout);
    out.push_back("Loop            - " + page.loop);
    out.push_back("Auto Start      - " + page.autoStart);
    out.push_back(page.smpte.empty() ? DosSmpteLine("DISABLED", "00:00:00.00") : page.smpte);
    out.insert(out.end(), {"", "", "Label     Time(M:S.F)  Event     Data1     Data2"});
    out.insert(out.end(), page.events.begin(), page.events.end());
    out.emplace_back("");
    lines.insert(lines.end() - 1, out.begin(), out.end());
}

std::string DosListing::Text(std::string_view lineEnd) const {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += lineEnd;
    }
    return text;
}

} // namespace testing_support
