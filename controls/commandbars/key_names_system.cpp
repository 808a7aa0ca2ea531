#include "controls/commandbars/key_names_system.h"

#include "platform/qt/virtual_keys.h"

#include <QKeySequence>

QString SystemKeyName(int virtualKey) {
    const int key = platform::qt::QtKeyFromVirtualKey(virtualKey);
    if (key == 0)
        return {};
    return QKeySequence(key).toString(QKeySequence::PortableText);
}
