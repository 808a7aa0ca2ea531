// What the printing tests read back from a PDF they printed, through poppler's tools.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace testing_support {

// The standard output of a shell command ("" when it cannot run).
inline std::string CommandOutput(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

// The page count pdfinfo gives, -1 when it gives none.
inline int PdfPages(const std::string& path) {
    const std::string info = CommandOutput("pdfinfo '" + path + "' 2>/dev/null");
    const auto at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}

// The text of every page in layout order.
inline std::string PdfText(const std::string& path) {
    return CommandOutput("pdftotext -layout '" + path + "' - 2>/dev/null");
}

} // namespace testing_support
