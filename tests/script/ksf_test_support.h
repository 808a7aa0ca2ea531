// Shared pieces of the script source file tests: the shipped products and protocols, a
// scripted user interface, and documents saved to and read from text.
#pragma once

#include "script/vl_doc.h"
#include "tests/support/app_fixture.h"
#include "tests/support/scripted_ui.h"

#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <string>

namespace ksf_test {

// "\n" line ends turned into CR LF, as the program writes its files.
inline std::string Crlf(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

inline std::string DataPath(const std::string& name) {
    return std::string(VELMORA_SOURCE_DIR) + "/tests/script/data/" + name;
}

inline std::string ReadDataFile(const std::string& name) {
    std::ifstream in(DataPath(name), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The full form of a document's script, as a save writes it.
inline std::string Save(CVLDoc& doc) {
    EXPECT_TRUE(
        doc.WriteScriptToBuffer(CVLDoc::kWriteAll, 1, static_cast<int>(doc.m_poSeqList.size())));
    return std::string(doc.WrittenText());
}

// What WriteScript writes with these flags and range.
inline std::string Write(CVLDoc& doc, std::uint32_t flags, int first, int last) {
    doc.WriteScriptToBuffer(flags, first, last);
    return std::string(doc.WrittenText());
}

// Compares two texts and reports only the first line where they differ.
inline ::testing::AssertionResult SameText(std::string_view expected, std::string_view actual) {
    if (expected == actual)
        return ::testing::AssertionSuccess();
    std::size_t line = 1, start = 0, i = 0;
    for (; i < expected.size() && i < actual.size() && expected[i] == actual[i]; ++i)
        if (expected[i] == '\n') {
            ++line;
            start = i + 1;
        }
    auto lineAt = [start](std::string_view text) {
        std::string_view rest = text.substr(std::min(start, text.size()));
        return std::string(rest.substr(0, rest.find('\n')));
    };
    return ::testing::AssertionFailure()
           << "texts differ at line " << line << " (sizes " << expected.size() << ", "
           << actual.size() << ")\n expected: " << lineAt(expected)
           << "\n actual:   " << lineAt(actual);
}

class KsfTest : public ::testing::Test {
protected:
    // A new script of the product.
    std::unique_ptr<CVLDoc> NewDoc(const std::string& product = "Harnel16") {
        auto doc = std::make_unique<CVLDoc>(app.App());
        EXPECT_TRUE(doc->InitNewScript(product));
        return doc;
    }
    // Reads `text` into a new document; answers ReadScript's result through `ok`.
    std::unique_ptr<CVLDoc> Load(std::string_view text, bool* ok = nullptr,
                                 const std::string& path = "show.ksf") {
        auto doc = std::make_unique<CVLDoc>(app.App());
        doc->LoadFileBuffer(text);
        const bool read = doc->ReadScript(path);
        if (ok)
            *ok = read;
        else
            EXPECT_TRUE(read) << path;
        doc->FreeFileBuffer();
        return doc;
    }

    testing_support::AppFixture app;
    testing_support::ScriptedUi ui;
};

} // namespace ksf_test
