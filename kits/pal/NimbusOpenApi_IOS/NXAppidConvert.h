#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "foundation/NSObject.h"

// Checks the host app's decimal Pal connect identifier and derives its two
// forms: the decimal connection identifier and the "Pal%08X" identifier the
// Pal apps know the app by (the number itself, or a value from the table of
// older identifiers). One process-wide converter holds the last result.
class CNXAppidConvert {
public:
    // (MPal value, connection identifier) rows; ends with a row whose
    // connection identifier is 0.
    static const std::pair<std::uint32_t, std::uint32_t>* GetAppIdTable();
    // Not null, at most 10 characters, only decimal digits (empty passes).
    static bool IsValidAppId(const char* appId);

    static CNXAppidConvert& shared();
    // Clears both forms, then fills them when the identifier is valid.
    bool Convert(const char* appId);
    // Empty before a successful conversion.
    const char* connectionAppId() const { return connectionAppId_; }
    const char* mpalAppId() const { return mpalAppId_; }

private:
    char connectionAppId_[12] = {};
    char mpalAppId_[12] = {};
};

// The object face of the shared converter.
class NXAppidConvert : public NSObject {
public:
    bool InitWithAppId(const std::optional<std::string>& appId);
    // Nothing before a successful conversion.
    std::optional<std::string> GetConnectionAppId() const;
    std::optional<std::string> GetMPalAppId() const;
};
