#include "script/import_table.h"

#include "platform/file_handle.h"
#include "platform/paths.h"
#include "platform/ui_services.h"

#include <cerrno>
#include <new>
#include <unistd.h>

using platform::FileHandle;

bool CImportTable::LoadFile(const std::string& path) {
    const FileHandle file = platform::OpenRegularFile(path);
    if (!file.IsOpen())
        return false;
    platform::WaitCursor wait;
    BeginParse();
    char chunk[4096];
    for (;;) {
        ssize_t got = ::read(file.Get(), chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            break;
        for (ssize_t i = 0; i < got; ++i)
            ParseByte(chunk[i]);
    }
    return true;
}

void CImportTable::Parse(std::string_view bytes) {
    BeginParse();
    for (char c : bytes)
        ParseByte(c);
}

const std::string* CImportTable::Lookup(std::string_view name) const {
    for (const auto& pair : m_List)
        if (platform::EqualsNoCase(pair->m_strOldName, name))
            return &pair->m_strNewName;
    return nullptr;
}

void CImportTable::BeginParse() {
    m_State = kLineStart;
    m_strOld.clear();
    m_strNew.clear();
}

void CImportTable::EndLine(bool store) {
    if (store) {
        try {
            m_List.push_back(std::make_unique<CImport>(m_strOld, m_strNew));
        } catch (const std::bad_alloc&) {
            // The pair is lost; the rest of the file still loads.
        }
    }
    m_strOld.clear();
    m_strNew.clear();
    m_State = kLineStart;
}

void CImportTable::ParseByte(char c) {
    const bool white = c == ' ' || c == '\t' || c == '\n';
    switch (m_State) {
    case kLineStart:
        if (c == '\r')
            EndLine(false);
        else if (white)
            break;
        else if (c == ';')
            m_State = kComment;
        else {
            m_strOld += c;
            m_State = kOldName;
        }
        break;
    case kOldName:
        if (c == '\r')
            EndLine(false);
        else if (white || c == ',')
            m_State = kSeparator;
        else if (c == ';')
            m_State = kComment;
        else
            m_strOld += c;
        break;
    case kSeparator:
        if (c == '\r')
            EndLine(false);
        else if (white)
            break;
        else if (c == ';')
            m_State = kComment;
        else {
            m_strNew += c;
            m_State = kNewName;
        }
        break;
    case kNewName:
        if (c == '\r')
            EndLine(true);
        else if (white)
            m_State = kAfterNewName;
        else if (c == ';')
            m_State = kComment;
        else
            m_strNew += c;
        break;
    case kAfterNewName:
        if (c == '\r')
            EndLine(true);
        break;
    case kComment:
        if (c == '\r')
            EndLine(false);
        break;
    }
}
