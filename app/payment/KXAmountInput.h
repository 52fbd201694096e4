#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/payment/KXMoney.h"
#include "uikit/UILabel.h"

// What the promoter may type into the amount field of a money action:
// exactly what the back end accepts for it, an amount as KXMoney::parse
// reads it, above zero and at most the action's limit. Anything else is
// neither priced nor sent; a hint under the field says what is wrong.
class KXAmountInput {
public:
    KXAmountInput() = delete;

    // The back end's largest amount of each action, in yuan: 100 000 for a
    // discount top-up and a recharge, 100 000 000 for a settlement.
    static constexpr KXMoney kLargestTopUp = KXMoney::fromFen(10'000'000);
    static constexpr KXMoney kLargestRecharge = KXMoney::fromFen(10'000'000);
    static constexpr KXMoney kLargestSettlement = KXMoney::fromFen(10'000'000'000);

    struct Reading {
        // The amount, when the text is one the back end accepts.
        std::optional<KXMoney> amount;
        // What is wrong with the text otherwise; "" for an empty text,
        // which each screen words itself.
        std::string problem;
    };
    static Reading read(std::string_view text, KXMoney largest);

    // The hint under an amount field ("amountHint"): small red text, empty
    // until a reading has a problem.
    static Ref<UILabel> hintLabel(CGRect frame);
    // The hint follows a reading of the field as it is typed.
    static void showHint(const Ref<UILabel>& hint, const Reading& reading);
    // On submit: the amount to send; or none, the problem then shown in the
    // hint and in an error HUD.
    static std::optional<KXMoney> amountToSend(const Ref<UILabel>& hint, const Reading& reading);
};
