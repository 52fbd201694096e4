#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "foundation/UTF16.h"
#include "kits/pal/PalApi/PalApiMessage.h"
#include "kits/pal/PalApi/PalApiURLObject.h"

// What a share may carry; texts are counted in UTF-16 units.
namespace PalApiLimits {

constexpr std::size_t kMaxTitle = 128;
constexpr std::size_t kMaxDescription = 512;
constexpr std::size_t kMaxText = 1536;
constexpr std::size_t kMaxURL = 1024;
constexpr std::size_t kMaxPreview = 0x100000;
constexpr std::size_t kMaxContent = 0x500000;
constexpr std::size_t kMaxPalSpaceImages = 20;

// Nothing when the title and description fit the message type; otherwise
// the refusal's log line ("" for a group tribe's, which is not logged).
inline std::optional<std::string> titleAndDescriptionRefusal(std::uint64_t type, const std::string& title,
                                                             const std::string& description) {
    const std::size_t titleLength = UTF16::length(title);
    const std::size_t descriptionLength = UTF16::length(description);
    if (type == PalApiMessage::kShareToGroupTribe) {
        if (titleLength < 4 || titleLength > 25 || descriptionLength < 10 || descriptionLength > 700) return "";
        return std::nullopt;
    }
    if (titleLength > kMaxTitle) return "param error: title is too long";
    if (descriptionLength > kMaxDescription) return "param error: description is too long";
    return std::nullopt;
}

// The log line of the first check a link fails (preview picture size, a
// title unless it is a favourite, an address and its length); null when it
// passes them all.
inline const char* linkRefusal(const PalApiURLObject& link) {
    if (link.previewImageData() && link.previewImageData()->length() > kMaxPreview)
        return "param error: preview image data is too big";
    if (link.title().empty() && link.cflag() != 8) return "param error: title is nil";
    const std::string address = link.url() ? link.url()->absoluteString() : "";
    if (address.empty()) return "param error: url is nil";
    if (UTF16::length(address) > kMaxURL) return "param error: url is too long";
    return nullptr;
}

}  // namespace PalApiLimits
