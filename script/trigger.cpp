#include "script/trigger.h"

CTrigger::CTrigger() = default;
CTrigger::~CTrigger() = default;
