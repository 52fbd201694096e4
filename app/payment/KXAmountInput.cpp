#include "app/payment/KXAmountInput.h"

#include <algorithm>

#include "app/shell/MBProgressHUDManager.h"
#include "app/team/KXTeamColors.h"

namespace {

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Digits, a point and more than two digits after it ("0.001").
bool hasTooManyDecimals(std::string_view text) {
    const std::size_t point = text.find('.');
    return point != std::string_view::npos && point > 0 && allDigits(text.substr(0, point)) &&
           text.size() - point - 1 > 2 && allDigits(text.substr(point + 1));
}

}  // namespace

KXAmountInput::Reading KXAmountInput::read(std::string_view text, KXMoney largest) {
    if (text.empty()) return {};
    const std::optional<KXMoney> amount = KXMoney::parse(text);
    if (!amount) {
        if (text.front() == '-' && KXMoney::parse(text.substr(1))) return {std::nullopt, "金额必须大于0"};
        if (hasTooManyDecimals(text)) return {std::nullopt, "金额最多两位小数"};
        // Fifteen whole digits are read; a longer number is over any limit.
        if (allDigits(text)) return {std::nullopt, "金额不能超过" + largest.format() + "元"};
        return {std::nullopt, "请输入正确的金额"};
    }
    if (*amount <= KXMoney()) return {std::nullopt, "金额必须大于0"};
    if (*amount > largest) return {std::nullopt, "金额不能超过" + largest.format() + "元"};
    return {amount, ""};
}

Ref<UILabel> KXAmountInput::hintLabel(CGRect frame) {
    auto hint = make<UILabel>(frame);
    hint->setAccessibilityIdentifier("amountHint");
    hint->setFont(UIFont::systemFontOfSize(11));
    hint->setTextColor(KXTeamColors::refusalRed());
    return hint;
}

void KXAmountInput::showHint(const Ref<UILabel>& hint, const Reading& reading) {
    if (hint) hint->setText(reading.problem);
}

std::optional<KXMoney> KXAmountInput::amountToSend(const Ref<UILabel>& hint, const Reading& reading) {
    if (reading.amount) return reading.amount;
    showHint(hint, reading);
    MBProgressHUDManager::showError(reading.problem);
    return std::nullopt;
}
