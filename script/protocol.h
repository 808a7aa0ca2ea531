// Protocol definitions (.pcl files): one external device, its port settings and the commands it
// understands. A file is read in two stages: the [Device] section at start-up, the commands the
// first time something needs them.
//
// File format: INI-like text (see IniScanner). "[Device]" holds the device keys; every section
// after it is one command, named "Category:Command". Command keys: Supported, Description,
// Message, Retries, Timeout, MessageAck, CompletionAck, Param1..Param10, Byte1..Byte20 (the
// numbered keys are read up to the first missing or empty one). A ParamN value is a type
// expression, optionally followed by a comma and a description in double quotes:
//     expression := group { '|' group }        at most 5 groups
//     group      := term { '&' term }          at most 3 terms
//     term       := keyword [ '(' argument ')' ] | '"' literal '"'
// White space is dropped everywhere in the expression; a quoted literal is a term of type
// "string" whose argument is the literal.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The type keywords of parameter terms; a term stores the index.
enum ParamType : std::uint16_t {
    kTypeInput = 0,
    kTypeRemoteInput,
    kTypeOutput,
    kTypeRemoteOutput,
    kTypeFlag,
    kTypeRemoteFlag,
    kTypeVar,
    kTypeRemoteVar,
    kTypePort,
    kTypeRemotePort,
    kTypeDataString,
    kTypeLcdString,
    kTypeSequence,
    kTypeRemoteSequence,
    kTypeByte,
    kTypeWord,
    kTypeString,
    kTypeByteLabel,
    kTypeWordLabel,
    kTypeByteTime,
    kTypeWordTime,
    kTypeTime,
    kTypeFrameString,
    kTypeTimeString,
    kTypeTrackString,
    kTypeContains,
    kTypePortTypeRemote,
    kTypeIpAddress,
    kTypeQornetValue,
    kParamTypeCount
};

// The keyword of each type, in index order (lower case).
extern const std::array<std::string_view, kParamTypeCount> kParamTypeKeywords;
// The index of a keyword (no case), or -1.
int FindParamTypeKeyword(std::string_view keyword);

// How command parameters are read. Velmora refuses a file whose type expression it cannot
// use; the protocol editor must open such a file to mend it, so it warns and keeps the text.
enum class ProtocolReading { Strict, Lenient };

// One And-term: a type and its argument (the text in parentheses, or a quoted literal).
struct CAnd {
    std::uint16_t m_nType = 0;
    std::string m_strArg;
};

// One Or-group of up to three And-terms.
struct COr {
    static constexpr int kMaxTerms = 3;
    std::int32_t m_nTermCount = 0;
    std::array<CAnd, kMaxTerms> m_And;
};

// One parameter of a command.
class CParam {
public:
    static constexpr int kMaxGroups = 5;

    // Parses m_strText into the description and the groups. Answers false after showing the
    // message of the first error (unknown keyword, sixth Or-group, fourth And-term, or a ')'
    // with no term to take its argument). Read leniently, an unknown keyword is reported as
    // a warning that names the word and the command.
    bool ParseTypes(ProtocolReading reading = ProtocolReading::Strict,
                    std::string_view commandName = {});
    // Adds a term of the keyword's type to the group being filled; answers the type index,
    // or -1 after showing the error message.
    int AddTypeTerm(std::string_view keyword);

    std::string m_strText;        // the ParamN value as read
    std::string m_strDescription; // the quoted description
    std::string m_strValue;       // empty after reading; the compiler's encoded parameter value
    std::int32_t m_nGroupCount = 0;
    std::array<COr, kMaxGroups> m_Or;

private:
    int AddTerm(std::string_view keyword, ProtocolReading reading, std::string_view commandName);
};

// One command: one section of the file.
class CCmnd {
public:
    static constexpr int kMaxParams = 10;
    static constexpr int kMaxBytes = 20;

    explicit CCmnd(std::string name) : m_strName(std::move(name)) {}
    virtual ~CCmnd() = default;

    std::string GetName() const { return m_strName; }
    // The part of the name before its first ':'; the whole name when it has none.
    std::string GetCategory() const;
    // The part of the name after its first ':' with every further ':' left out; empty when
    // the name has no ':'.
    std::string GetCommandName() const;

    std::string m_strName;
    std::string m_strDescription;
    std::string m_strSupported;
    std::string m_strMessage;
    std::string m_strRetries;
    std::string m_strTimeout;
    std::string m_strMessageAck;
    std::string m_strCompletionAck;
    std::array<std::string, kMaxBytes> m_strBytes; // Byte1..Byte20
    std::array<CParam, kMaxParams> m_Params;       // Param1..Param10
    std::int32_t m_nParamCount = 0;
    std::int32_t m_nByteCount = 0;
};

// One protocol file.
class CProtocol {
public:
    CProtocol() = default;
    virtual ~CProtocol() = default;
    CProtocol(const CProtocol&) = delete;
    CProtocol& operator=(const CProtocol&) = delete;

    // First stage: reads the [Device] section of the file and remembers the path. Shows
    // "Read Protocol:  Could not read file" or "Read Protocol:  Could not find [Device]
    // Section." and answers false when it cannot. Any commands held before are dropped.
    bool ReadDevice(const std::string& path);
    // Second stage: reads every command section after [Device]. Answers true at once when the
    // commands are loaded already. On failure (a message has been shown) the commands this
    // attempt appended are removed again, so a later attempt starts afresh.
    bool LoadCommands();
    bool IsLoaded() const { return m_bLoaded; }

    // Maker and Model joined by one blank (either alone when the other is empty), every
    // white-space character turned into '_'.
    std::string GetDisplayName() const;
    static std::string UnderscoreBlanks(std::string_view text);

    std::string m_strPath;
    std::string m_strVersion;
    std::string m_strDescription;
    std::string m_strLocation;
    std::string m_strDate;
    std::string m_strAuthor;
    std::string m_strMaker;
    std::string m_strModel;
    std::string m_strSupported;
    std::string m_strInterface;
    std::string m_strType;
    std::string m_strDataBits;
    std::string m_strStopBits;
    std::string m_strParity;
    std::string m_strBaudRate;
    std::string m_strAddress;
    std::string m_strProtocol;
    std::string m_strBrevantType;

    // The commands in file order.
    std::vector<std::unique_ptr<CCmnd>> m_poCmndList;

    // Strict unless the caller asks otherwise before LoadCommands.
    void SetReading(ProtocolReading reading) { m_eReading = reading; }
    ProtocolReading GetReading() const { return m_eReading; }

private:
    bool m_bLoaded = false;
    ProtocolReading m_eReading = ProtocolReading::Strict;
};
