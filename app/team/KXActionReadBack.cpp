#include "app/team/KXActionReadBack.h"

#include "app/shell/MBProgressHUDManager.h"

namespace KXActionReadBack {

bool send(KXSingleRequest& request, const Dictionary& action, KXClassicRequest::Answer onSuccess,
          const Dictionary& check, Judge judge, std::string unknownText) {
    // A copy of the request shares its one-at-a-time state, so the read
    // counts as the action's request while it is under way.
    auto askWhetherMade = [request, onSuccess, check, judge = std::move(judge),
                           unknownText = std::move(unknownText)]() mutable {
        auto unknown = [unknownText] { MBProgressHUDManager::showError(unknownText); };
        auto judged = [onSuccess, judge, unknown](const Value& answer) {
            if (!answer.isDictionary()) return unknown();
            switch (judge(answer)) {
                case Verdict::Made: return onSuccess(answer);
                case Verdict::NotMade: return KXClassicRequest::showFailure();
                case Verdict::Unknown: return unknown();
            }
        };
        request.send(check, judged, judged, unknown);
    };
    return request.sendTellingUnknownResults(action, std::move(onSuccess), nullptr, std::move(askWhetherMade));
}

bool listHolds(const Value& answer, const std::string& key, const std::string& value) {
    const Array* rows = answer["data"].array();
    if (!rows) return false;
    for (const auto& row : *rows)
        if (row.isDictionary() && KXClassicRequest::text(row[key]) == value) return true;
    return false;
}

}  // namespace KXActionReadBack
