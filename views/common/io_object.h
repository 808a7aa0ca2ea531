// An entry of a resource list: a resource's plain name and the text a list shows for it, which
// tells the resource's kind and number ("V-03: Count").
#pragma once

#include <cstdint>
#include <string>

class CIOObject {
public:
    enum Kind : std::int16_t {
        Sequence = 1,
        Event = 2,
        Input = 3,
        Output = 4,
        Flag = 5,
        Variable = 6,
        Port = 7,
        DataString = 8,
        LcdString = 9,
    };
    // The longest display text a list shows.
    static constexpr std::size_t kMaxDisplay = 255;

    CIOObject(std::string name, std::int16_t kind, std::uint16_t number);
    virtual ~CIOObject() = default;

    const std::string& Name() const { return m_strName; }
    const std::string& Display() const { return m_strDisplay; }
    std::uint16_t Number() const { return m_wNumber; }
    std::int16_t Kind() const { return m_nKind; }

    // The display text of a resource, cut to kMaxDisplay; any kind but 1-9 shows the name alone.
    static std::string FormatDisplay(const std::string& name, std::int16_t kind,
                                     std::uint16_t number);

private:
    std::string m_strName;
    std::string m_strDisplay;
    std::uint16_t m_wNumber;
    std::int16_t m_nKind;
};
