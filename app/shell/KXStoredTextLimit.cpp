#include "app/shell/KXStoredTextLimit.h"

#include "app/shell/KXBlankText.h"

namespace KXStoredTextLimit {

std::optional<std::string> refusal(std::string_view what, std::string_view text) {
    if (text.size() <= kLongestBytes) return std::nullopt;
    // A Chinese character takes three bytes.
    return std::string(what) + "不能超过" + std::to_string(kLongestBytes) + "个字节（约" +
           std::to_string(kLongestBytes / 3) + "个汉字）";
}

std::optional<std::string> refusalOfTyped(std::string_view what, std::string_view typed) {
    return refusal(what, KXBlankText::kept(typed));
}

}  // namespace KXStoredTextLimit
