// One event of a sequence: a line of the event grid, its texts kept as the user typed them,
// and the compiled form the compiler leaves on it.
#pragma once

#include "script/byte_string.h"

#include <cstddef>
#include <cstdint>
#include <string>

class CEvnt {
public:
    CEvnt();
    virtual ~CEvnt();
    CEvnt(const CEvnt&) = default;
    CEvnt& operator=(const CEvnt&) = default;
    CEvnt(CEvnt&&) = default;
    CEvnt& operator=(CEvnt&&) = default;

    // Events live in the blocks of event_storage, not one heap allocation each.
    static void* operator new(std::size_t size);
    static void operator delete(void* event, std::size_t size) noexcept;

    // Parameter index (0-9): Data1 to Data3 packed (empty ones skipped), then the pieces of
    // Data4 split at white space outside double quotes. Empty when there is none.
    std::string GetParam(int index) const;

    std::string m_strSkip; // not empty: commented out, neither compiled nor counted
    std::string m_strLabel;
    std::string m_strTime = "00:00.00";
    std::string m_strEvent = "Nop";
    std::string m_strData1;
    std::string m_strData2;
    std::string m_strData3;
    std::string m_strData4;
    std::string m_strComment;
    ByteString m_bsCompiled;
    std::int32_t m_nSharedCompile = 0; // compiled bytes not stored separately
};
