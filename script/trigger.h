// A start, stop, pause or reset condition of a sequence: an input, output or flag going on
// or off, and/or a variable compared with a value.
#pragma once

#include <cstdint>
#include <string>

class CTrigger {
public:
    CTrigger();
    virtual ~CTrigger();
    CTrigger(const CTrigger&) = default;
    CTrigger& operator=(const CTrigger&) = default;
    CTrigger(CTrigger&&) = default;
    CTrigger& operator=(CTrigger&&) = default;

    // A trigger is set when it names an io resource or a variable.
    bool IsSet() const { return !m_strIoName.empty() || !m_strVariable.empty(); }

    enum Combine : std::uint16_t { And = 0, Or = 1 };
    enum Comparison : std::uint16_t { EQ = 0, NE = 1, GT = 2, LT = 3, GE = 4, LE = 5 };

    std::string m_strIoName;
    std::int32_t m_nGoesOn = 0; // 1: going on, 0: going off (a sequence starts it at 1)
    std::uint16_t m_wCombine = And;
    std::string m_strVariable;
    std::uint16_t m_wComparison = EQ;
    std::string m_strValue;
};
