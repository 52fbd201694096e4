#include "app/shell/KXStoredTextLimit.h"

namespace KXStoredTextLimit {

std::optional<std::string> refusal(std::string_view what, std::string_view text) {
    if (text.size() <= kLongestBytes) return std::nullopt;
    // A Chinese character takes three bytes.
    return std::string(what) + "不能超过" + std::to_string(kLongestBytes) + "个字节（约" +
           std::to_string(kLongestBytes / 3) + "个汉字）";
}

}  // namespace KXStoredTextLimit
