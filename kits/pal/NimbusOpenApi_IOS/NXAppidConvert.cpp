#include "kits/pal/NimbusOpenApi_IOS/NXAppidConvert.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Older identifiers whose Pal form is not their own number.
constexpr std::pair<std::uint32_t, std::uint32_t> arAppIdTable[] = {
    {0x25397024, 100393032},
    {0x8990AC34, 100393033},
    {0x17E59D9F, 201293},
    {0x075BCD15, 100383924},
    {0x4B3AFA9F, 214506},
    {0, 0},
};

}  // namespace

const std::pair<std::uint32_t, std::uint32_t>* CNXAppidConvert::GetAppIdTable() { return arAppIdTable; }

bool CNXAppidConvert::IsValidAppId(const char* appId) {
    if (!appId || std::strlen(appId) > 10) return false;
    for (const char* c = appId; *c; ++c)
        if (!std::isdigit(static_cast<unsigned char>(*c))) return false;
    return true;
}

CNXAppidConvert& CNXAppidConvert::shared() {
    static CNXAppidConvert converter;
    return converter;
}

bool CNXAppidConvert::Convert(const char* appId) {
    std::memset(connectionAppId_, 0, sizeof connectionAppId_);
    std::memset(mpalAppId_, 0, sizeof mpalAppId_);
    if (!IsValidAppId(appId)) return false;
    // Ten digits may exceed 32 bits: the number wraps as an unsigned read does.
    const auto number = static_cast<std::uint32_t>(std::strtoull(appId, nullptr, 10));
    std::uint32_t mpal = number;
    for (const auto* row = GetAppIdTable(); row->second != 0; ++row) {
        if (row->second == number) {
            mpal = row->first;
            break;
        }
    }
    std::snprintf(connectionAppId_, sizeof connectionAppId_, "%u", number);
    std::snprintf(mpalAppId_, sizeof mpalAppId_, "Pal%08X", mpal);
    return true;
}

bool NXAppidConvert::InitWithAppId(const std::optional<std::string>& appId) {
    return CNXAppidConvert::shared().Convert(appId ? appId->c_str() : nullptr);
}

std::optional<std::string> NXAppidConvert::GetConnectionAppId() const {
    const auto& converter = CNXAppidConvert::shared();
    if (!*converter.connectionAppId()) return std::nullopt;
    return std::string(converter.connectionAppId());
}

std::optional<std::string> NXAppidConvert::GetMPalAppId() const {
    const auto& converter = CNXAppidConvert::shared();
    if (!*converter.connectionAppId()) return std::nullopt;
    return std::string(converter.mpalAppId());
}
