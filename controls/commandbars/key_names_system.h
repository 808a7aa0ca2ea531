// The desktop's name of a virtual key that the fixed table lacks.
#pragma once

#include <QString>

QString SystemKeyName(int virtualKey);
