// Networked devices that take a compiled image by FTP: name, login, address and password, kept
// in the "Download" section of the profile as "NumQuenlows" and numbered keys.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace platform {
class ProfileFile;
}

class CQuenlowOb {
public:
    std::string m_strName;
    std::string m_strLogin;
    std::string m_strIP; // dotted decimal
    std::string m_strPassword;
};

// The list owns its devices; the communication dialog works on a copy (Copy) that replaces the
// application's list on OK.
class CQuenlowList {
public:
    CQuenlowList() = default;
    CQuenlowList(const CQuenlowList& other) { *this = other; }
    CQuenlowList& operator=(const CQuenlowList& other);
    CQuenlowList(CQuenlowList&&) noexcept = default;
    CQuenlowList& operator=(CQuenlowList&&) noexcept = default;

    std::size_t GetCount() const { return devices_.size(); }
    bool IsEmpty() const { return devices_.empty(); }
    // Null for an index outside the list.
    CQuenlowOb* GetAt(int index);
    const CQuenlowOb* GetAt(int index) const;
    CQuenlowOb& AddTail(CQuenlowOb device);
    void RemoveAt(int index);
    void RemoveAll() { devices_.clear(); }

    // Reads "NumQuenlows" and the device keys from the "Download" section.
    void Load(const platform::ProfileFile& profile);
    // Writes them (devices beyond the count that an earlier, longer list left stay unread).
    bool Save(platform::ProfileFile& profile) const;

private:
    std::vector<std::unique_ptr<CQuenlowOb>> devices_;
};
