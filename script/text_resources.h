// The named text resources of a script. Two classes of the same shape, so that the data-string
// and LCD-string lists can never mix.
#pragma once

#include <string>

class CDataStr {
public:
    CDataStr(std::string name, std::string data, std::string comment);
    virtual ~CDataStr();
    CDataStr(const CDataStr&) = default;
    CDataStr& operator=(const CDataStr&) = default;
    CDataStr(CDataStr&&) = default;
    CDataStr& operator=(CDataStr&&) = default;

    std::string m_strName;
    std::string m_strData;
    std::string m_strComment;
};

class CLcdStr {
public:
    CLcdStr(std::string name, std::string data, std::string comment);
    virtual ~CLcdStr();
    CLcdStr(const CLcdStr&) = default;
    CLcdStr& operator=(const CLcdStr&) = default;
    CLcdStr(CLcdStr&&) = default;
    CLcdStr& operator=(CLcdStr&&) = default;

    std::string m_strName;
    std::string m_strData;
    std::string m_strComment;
};
