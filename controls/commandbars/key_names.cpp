#include "controls/commandbars/key_names.h"

#include "controls/commandbars/key_names_system.h"

#include <array>

namespace {

struct NamedKey {
    int code;
    const char* name;
};

constexpr NamedKey kNamedKeys[] = {
    {0x01, "Left Button"}, {0x02, "Right Button"}, {0x03, "Cancel"},       {0x04, "Middle Button"},
    {0x08, "Back"},        {0x09, "Tab"},          {0x0C, "Clear"},        {0x0D, "Enter"},
    {0x10, "Shift"},       {0x11, "Ctrl"},         {0x12, "Alt"},          {0x13, "Pause"},
    {0x14, "Caps Lock"},   {0x1B, "Esc"},          {0x20, "Space"},        {0x21, "Page Up"},
    {0x22, "Page Down"},   {0x23, "End"},          {0x24, "Home"},         {0x25, "Left Arrow"},
    {0x26, "Up Arrow"},    {0x27, "Right Arrow"},  {0x28, "Down Arrow"},   {0x29, "Select"},
    {0x2A, "Print"},       {0x2B, "Execute"},      {0x2C, "Snapshot"},     {0x2D, "Ins"},
    {0x2E, "Del"},         {0x2F, "Help"},         {0x5B, "Left Windows"}, {0x5C, "Right Windows"},
    {0x5D, "Application"}, {0x6A, "Num *"},        {0x6B, "Num +"},        {0x6C, "Separator"},
    {0x6D, "Num -"},       {0x6E, "Num ."},        {0x6F, "Num /"},        {0x90, "Num Lock"},
    {0x91, "Scrl Lock"},   {0xF6, "Attn"},         {0xF7, "Crsel"},        {0xF8, "Exsel"},
    {0xF9, "Ereof"},       {0xFA, "Play"},         {0xFB, "Zoom"},         {0xFC, "No Name"},
    {0xFD, "Pa1"},         {0xFE, "Oem Clear"}};

struct Modifier {
    std::uint8_t flag;
    const char* name;
};
constexpr Modifier kModifiers[] = {
    {GVPAccel::kControl, "Ctrl"}, {GVPAccel::kAlt, "Alt"}, {GVPAccel::kShift, "Shift"}};

} // namespace

QString CGVPShortcutManager::KeyName(int vk) {
    if (vk >= 0x30 && vk <= 0x39)
        return QString(QChar('0' + (vk - 0x30)));
    if (vk >= 0x41 && vk <= 0x5A)
        return QString(QChar('A' + (vk - 0x41)));
    if (vk >= 0x70 && vk <= 0x7B)
        return QStringLiteral("F%1").arg(vk - 0x70 + 1);
    if (vk >= 0x60 && vk <= 0x69)
        return QStringLiteral("Num %1").arg(vk - 0x60);
    for (const NamedKey& k : kNamedKeys)
        if (k.code == vk)
            return QString::fromLatin1(k.name);
    return {};
}

void CGVPShortcutManager::CKeyHelper::Format(QString& text) const {
    text.clear();
    if (!m_accel)
        return;
    for (const Modifier& m : kModifiers)
        if (m_accel->fVirt & m.flag)
            text += QString::fromLatin1(m.name) + QLatin1Char('+');
    if (m_accel->key == 0) {
        if (!text.isEmpty())
            text.chop(1);
        return;
    }
    if (!(m_accel->fVirt & GVPAccel::kVirtKey)) {
        // A character accelerator shows its character.
        text += QChar(m_accel->key);
        return;
    }
    const QString named = KeyName(m_accel->key);
    if (!named.isEmpty()) {
        text += named;
        return;
    }
    // The desktop's name of the key, lower case with its first letter raised.
    QString name = SystemKeyName(m_accel->key).left(50).toLower();
    for (QChar& c : name) {
        if (c.isLower()) {
            c = c.toUpper();
            break;
        }
    }
    text += name;
}

int CGVPShortcutManager::CKeyHelper::GetPriority() const {
    if (!m_accel)
        return 0;
    if (m_accel->fVirt & GVPAccel::kControl)
        return 3;
    if (m_accel->fVirt & GVPAccel::kAlt)
        return 2;
    if (m_accel->fVirt & GVPAccel::kShift)
        return 1;
    return 4;
}

bool CGVPShortcutManager::FindShortcut(unsigned commandId, QString& text,
                                       const std::vector<GVPAccel>* table) {
    if (!table)
        return false;
    const GVPAccel* best = nullptr;
    int bestPriority = 0;
    bool current = false;
    for (const GVPAccel& accel : *table) {
        if (accel.cmd != commandId)
            continue;
        CKeyHelper helper(&accel);
        QString formatted;
        helper.Format(formatted);
        if (formatted == text)
            current = true;
        const int priority = helper.GetPriority();
        if (!best || priority > bestPriority) {
            best = &accel;
            bestPriority = priority;
        }
    }
    if (!best) {
        text.clear();
        return false;
    }
    if (!current)
        CKeyHelper(best).Format(text);
    return true;
}

QChar CharToUpper(QChar c) {
    const QString upper = QString(c).toUpper();
    return upper.size() == 1 ? upper.at(0) : c;
}
