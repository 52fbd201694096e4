#include "app/payment/KXMoneyReadBack.h"

#include <algorithm>
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
    // The list's name for a person, and its action.
    std::string_view records;
    std::string_view list;
    // Where the rows lie under `data`, and each row's id.
    std::string_view rows;
    std::string_view id;
    std::vector<Compared> compared;
};

const std::array<Action, 2>& actions() {
    static const std::array<Action, 2> known{{
        {"jiesuan", "提现", "结算明细", "jiesuan_list", "data", "id", {}},
        {"fuli", "折扣代充", "代充记录", "fuli_list", "list", "orderid",
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

// The amount sent, in fen; a text that is no amount stays as it was typed.
std::string amountOf(const Value& money) {
    const std::string typed = text(money);
    const std::optional<KXMoney> amount = KXMoney::parse(typed);
    return amount ? std::to_string(amount->fen()) : "typed " + typed;
}

// The row's time made, in seconds since 1970: a whole number, or its digits.
std::optional<long long> madeAt(const Value& row) {
    const Value& time = row["create_time"];
    if (time.isInteger()) return time.integer();
    const std::string* digits = time.text();
    return digits ? NSString::strictInteger(*digits) : std::nullopt;
}

// The field as sent, as the back end keeps it.
std::string asKept(const Compared& field, const Dictionary& request) {
    const std::string sent = text(request[field.sent]);
    return field.keptText ? KXBlankText::kept(sent) : sent;
}

// Whether a row shows what the request does: No when it shows another
// amount, account, game or payment; Maybe when it leaves one of them out.
enum class Shows { No, Maybe, Yes };

Shows shows(const Action& action, const Dictionary& request, const Value& row) {
    if (!row.isDictionary() || amountOf(row["money"]) != amountOf(request["money"])) return Shows::No;
    Shows shown = Shows::Yes;
    for (const Compared& field : action.compared) {
        const Value* listed = row.dictionary()->find(field.listed);
        if (!listed || listed->isNull()) {
            shown = Shows::Maybe;
            continue;
        }
        if (text(*listed) != asKept(field, request)) return Shows::No;
    }
    return shown;
}

const Array* rowsOf(const Action& action, const Value& answer) { return answer["data"][action.rows].array(); }

}  // namespace

Dictionary does(const Dictionary& request) {
    const Action* action = actionOf(request);
    if (!action) {
        Dictionary fields = request;
        fields.remove("t");
        fields.remove("sign");
        return fields;
    }
    Dictionary done{{"ac", Value(action->ac)}, {"uid", Value(text(request["uid"]))}};
    done.set("money", Value(amountOf(request["money"])));
    for (const Compared& field : action->compared) done.set(field.sent, Value(asKept(field, request)));
    return done;
}

std::vector<std::string> listsOfKeptActions() {
    std::vector<std::string> lists;
    for (const Action& action : actions()) lists.emplace_back(action.records);
    return lists;
}

std::string captionOfList(std::string_view records) {
    for (const Action& action : actions())
        if (action.records == records) return std::string(action.caption);
    return std::string(records);
}

std::optional<Dictionary> listQuery(const Dictionary& request) {
    const Action* action = actionOf(request);
    if (!action) return std::nullopt;
    return KXClassicRequest::query(action->list);
}

std::optional<Dictionary> listQueryOf(std::string_view records) {
    for (const Action& action : actions())
        if (action.records == records) return KXClassicRequest::query(action.list);
    return std::nullopt;
}

std::optional<std::vector<std::string>> rowsDoing(const Dictionary& request, const Value& answer) {
    const Action* action = actionOf(request);
    const Array* rows = action ? rowsOf(*action, answer) : nullptr;
    if (!rows) return std::nullopt;
    std::vector<std::string> ids;
    for (const Value& row : *rows)
        if (shows(*action, request, row) != Shows::No) ids.push_back(text(row[action->id]));
    return ids;
}

Finding judge(const Dictionary& request, const std::optional<std::vector<std::string>>& listedBefore,
              const Value& answer) {
    const Action* action = actionOf(request);
    const Array* rows = action ? rowsOf(*action, answer) : nullptr;
    if (!rows) return Finding::Unknown;
    const long long sentAt = NSString::longLongValue(text(request["t"]));
    bool maybe = false;
    for (const Value& row : *rows) {
        const Shows shown = shows(*action, request, row);
        if (shown == Shows::No) continue;
        // Made outside the back end's window, it is another request's.
        const std::optional<long long> made = madeAt(row);
        if (made && (*made < sentAt - kBackEndWindowSeconds || *made > sentAt + kBackEndWindowSeconds)) continue;
        // Listed before the request went out, it is an earlier action's.
        const std::string id = text(row[action->id]);
        if (listedBefore && !id.empty() && std::ranges::find(*listedBefore, id) != listedBefore->end()) continue;
        if (shown == Shows::Yes && made && listedBefore && !id.empty()) return Finding::Made;
        maybe = true;
    }
    return maybe ? Finding::Unknown : Finding::NotMade;
}

std::string describe(const Dictionary& request) {
    const Action* action = actionOf(request);
    std::string description = std::string(action ? action->caption : "") + " " + text(request["money"]);
    if (const Value* account = request.find("username")) description += " " + text(*account);
    return description;
}

}  // namespace KXMoneyReadBack
