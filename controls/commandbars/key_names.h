// Shortcut texts of commands ("Ctrl+S") from a frame's accelerator table.
#pragma once

#include <QChar>
#include <QString>
#include <cstdint>
#include <vector>

// One accelerator: flag byte, key, command id.
struct GVPAccel {
    static constexpr std::uint8_t kVirtKey = 0x01;
    static constexpr std::uint8_t kShift = 0x04;
    static constexpr std::uint8_t kControl = 0x08;
    static constexpr std::uint8_t kAlt = 0x10;

    std::uint8_t fVirt = 0;
    std::uint16_t key = 0;
    std::uint16_t cmd = 0;
};

class CGVPShortcutManager {
public:
    class CKeyHelper {
    public:
        explicit CKeyHelper(const GVPAccel* accel) : m_accel(accel) {}
        virtual ~CKeyHelper() = default;
        void Format(QString& text) const;
        // 0 without an entry; no modifier 4, Ctrl 3, Alt 2, Shift 1.
        int GetPriority() const;

    private:
        const GVPAccel* m_accel;
    };

    // True and the shortcut text when the command has an accelerator in `table`. A text that
    // already equals one of the command's shortcuts is kept.
    static bool FindShortcut(unsigned commandId, QString& text, const std::vector<GVPAccel>* table);
    // Name of a virtual key from the fixed table, empty when it has none.
    static QString KeyName(int virtualKey);
};

// Upper case of a mnemonic character, as menu mnemonics are compared.
QChar CharToUpper(QChar c);
