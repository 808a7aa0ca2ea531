#include "script/quenlow_device.h"

#include "platform/profile.h"
#include "script/profile_numbers.h"

#include <string>

namespace {

constexpr const char* kSection = "Download";

std::string Key(const char* word, std::size_t number) {
    return word + std::to_string(number);
}

} // namespace

CQuenlowList& CQuenlowList::operator=(const CQuenlowList& other) {
    if (this != &other) {
        std::vector<std::unique_ptr<CQuenlowOb>> copy;
        copy.reserve(other.devices_.size());
        for (const auto& device : other.devices_) {
            copy.push_back(std::make_unique<CQuenlowOb>(*device));
        }
        devices_ = std::move(copy);
    }
    return *this;
}

CQuenlowOb* CQuenlowList::GetAt(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= devices_.size()) {
        return nullptr;
    }
    return devices_[static_cast<std::size_t>(index)].get();
}

const CQuenlowOb* CQuenlowList::GetAt(int index) const {
    return const_cast<CQuenlowList*>(this)->GetAt(index);
}

CQuenlowOb& CQuenlowList::AddTail(CQuenlowOb device) {
    devices_.push_back(std::make_unique<CQuenlowOb>(std::move(device)));
    return *devices_.back();
}

void CQuenlowList::RemoveAt(int index) {
    if (GetAt(index) != nullptr) {
        devices_.erase(devices_.begin() + index);
    }
}

void CQuenlowList::Load(const platform::ProfileFile& profile) {
    devices_.clear();
    const int count = ReadProfileNumber(profile, kSection, "NumQuenlows");
    for (int i = 1; i <= count; ++i) {
        const auto n = static_cast<std::size_t>(i);
        CQuenlowOb device;
        device.m_strName = profile.GetString(kSection, Key("QuenlowName", n), "Default Name");
        device.m_strIP = profile.GetString(kSection, Key("QuenlowIP", n), "Default Name");
        device.m_strPassword = profile.GetString(kSection, Key("QuenlowPassword", n), "");
        device.m_strLogin = profile.GetString(kSection, Key("QuenlowLogin", n), "Default Login");
        AddTail(std::move(device));
    }
}

bool CQuenlowList::Save(platform::ProfileFile& profile) const {
    bool ok = profile.SetString(kSection, "NumQuenlows", std::to_string(devices_.size()));
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        const auto& device = *devices_[i];
        const std::size_t n = i + 1;
        ok = profile.SetString(kSection, Key("QuenlowName", n), device.m_strName) && ok;
        ok = profile.SetString(kSection, Key("QuenlowIP", n), device.m_strIP) && ok;
        ok = profile.SetString(kSection, Key("QuenlowPassword", n), device.m_strPassword) && ok;
        ok = profile.SetString(kSection, Key("QuenlowLogin", n), device.m_strLogin) && ok;
    }
    return ok;
}
