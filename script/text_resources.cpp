#include "script/text_resources.h"

#include <utility>

CDataStr::CDataStr(std::string name, std::string data, std::string comment)
    : m_strName(std::move(name)), m_strData(std::move(data)), m_strComment(std::move(comment)) {}
CDataStr::~CDataStr() = default;

CLcdStr::CLcdStr(std::string name, std::string data, std::string comment)
    : m_strName(std::move(name)), m_strData(std::move(data)), m_strComment(std::move(comment)) {}
CLcdStr::~CLcdStr() = default;
