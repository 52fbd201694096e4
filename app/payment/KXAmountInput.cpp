#include "app/payment/KXAmountInput.h"

#include <algorithm>

#include "app/shell/MBProgressHUDManager.h"
#include "app/team/KXTeamColors.h"

namespace {

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Digits, then a point and digits or none: a number as the field takes it,
// whatever its size ("12", "12.", "0.001", 20 digits and a decimal).
bool isPlainNumber(std::string_view text) {
    const std::size_t point = std::min(text.find('.'), text.size());
    return point > 0 && allDigits(text.substr(0, point)) && allDigits(text.substr(std::min(point + 1, text.size())));
}

// A plain number with more than two digits after its point ("0.001").
bool hasTooManyDecimals(std::string_view text) {
    const std::size_t point = text.find('.');
    return isPlainNumber(text) && point != std::string_view::npos && text.size() - point - 1 > 2;
}

}  // namespace

KXAmountInput::Reading KXAmountInput::read(std::string_view text, KXMoney largest) {
    if (text.empty()) return {};
    const std::optional<KXMoney> amount = KXMoney::parse(text);
    if (!amount) {
        if (text.front() == '-' && KXMoney::parse(text.substr(1))) return {std::nullopt, "金额必须大于0"};
        if (hasTooManyDecimals(text)) return {std::nullopt, "金额最多两位小数"};
        // Fifteen whole digits are read; a longer number is over any limit,
        // with decimals or without.
        if (isPlainNumber(text)) return {std::nullopt, "金额不能超过" + largest.format() + "元"};
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
