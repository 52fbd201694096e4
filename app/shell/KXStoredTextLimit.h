#pragma once

#include <optional>
#include <string>
#include <string_view>

// The back end keeps what a promoter types (real name, profile fields) up
// to 100 bytes of UTF-8. A longer text is refused there, or, long enough,
// does not even reach it (its request head is refused), so the screens stop
// it first with a message that says why. A password is held to the same
// length wherever it is set (修改密码, 添加下级), as the back end holds it at
// the sign-in: one that can be set can be used.
namespace KXStoredTextLimit {

inline constexpr std::size_t kLongestBytes = 100;

// "<what>不能超过100个字节（约33个汉字）" when `text` is longer than the
// back end keeps, else nothing.
std::optional<std::string> refusal(std::string_view what, std::string_view text);

// The same for a text the back end keeps as it shows (a real name, a
// profile value), counted on what it keeps
// (KXBlankText::kept): the blanks around it take no room.
std::optional<std::string> refusalOfTyped(std::string_view what, std::string_view typed);

}  // namespace KXStoredTextLimit
