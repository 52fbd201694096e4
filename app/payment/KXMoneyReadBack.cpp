#include "app/payment/KXMoneyReadBack.h"

#include <array>
#include <string_view>
#include <vector>

#include "app/payment/KXClassicRequest.h"
#include "app/payment/KXMoney.h"
#include "app/shell/KXBlankText.h"
#include "foundation/NSString.h"

namespace KXMoneyReadBack {

namespace {

// A field the request sent and the list's name for it; the account is
// compared as the back end keeps it.
struct Compared {
    std::string_view sent;
    std::string_view listed;
    bool keptText = false;
};

// A money action whose results a list shows.
struct Action {
    std::string_view ac;
    std::string_view caption;
    std::string_view list;
    // Where the rows lie under `data`.
    std::string_view rows;
    std::vector<Compared> compared;
};

const std::array<Action, 2>& actions() {
    static const std::array<Action, 2> known{{
        {"jiesuan", "提现", "jiesuan_list", "data", {}},
        {"fuli", "折扣代充", "fuli_list", "list",
         {{"username", "user_name", true}, {"gid", "gid"}, {"type", "type"}}},
    }};
    return known;
}

const Action* actionOf(const Dictionary& request) {
    const std::string ac = request["ac"].description();
    for (const Action& action : actions())
        if (action.ac == ac) return &action;
    return nullptr;
}

std::string text(const Value& value) { return KXClassicRequest::text(value); }

// The row's time made, in seconds since 1970: a whole number, or its digits.
std::optional<long long> madeAt(const Value& row) {
    const Value& time = row["create_time"];
    if (time.isInteger()) return time.integer();
    const std::string* digits = time.text();
    return digits ? NSString::strictInteger(*digits) : std::nullopt;
}

// What a row of the action shows when it is the request: the compared
// fields under the list's names, as the back end keeps them.
Dictionary shownFor(const Action& action, const Dictionary& request) {
    Dictionary shown;
    for (const Compared& field : action.compared) {
        const std::string sent = text(request[field.sent]);
        shown.set(field.listed, Value(field.keptText ? KXBlankText::kept(sent) : sent));
    }
    return shown;
}

}  // namespace

std::optional<Dictionary> listQuery(const Dictionary& request) {
    const Action* action = actionOf(request);
    if (!action) return std::nullopt;
    return KXClassicRequest::query(action->list);
}

Finding judge(const Dictionary& request, const Value& answer) {
    const Action* action = actionOf(request);
    const Array* rows = answer["data"][action ? action->rows : ""].array();
    const std::optional<KXMoney> amount = KXMoney::parse(text(request["money"]));
    if (!action || !rows || !amount) return Finding::Unknown;
    const long long sentAt = NSString::longLongValue(text(request["t"]));
    const Dictionary shown = shownFor(*action, request);
    bool sameAmountThen = false;
    for (const Value& row : *rows) {
        if (KXMoney::parse(text(row["money"])) != amount) continue;
        // A row without its time may be the action: it cannot tell.
        const std::optional<long long> made = madeAt(row);
        if (made && (*made < sentAt - kBackEndWindowSeconds || *made > sentAt + kBackEndWindowSeconds)) continue;
        sameAmountThen = true;
        if (made && KXActionReadBack::matches(row, shown)) return Finding::Made;
    }
    return sameAmountThen ? Finding::Unknown : Finding::NotMade;
}

std::string describe(const Dictionary& request) {
    const Action* action = actionOf(request);
    std::string description = std::string(action ? action->caption : "") + " " + text(request["money"]);
    if (const Value* account = request.find("username")) description += " " + text(*account);
    return description;
}

}  // namespace KXMoneyReadBack
