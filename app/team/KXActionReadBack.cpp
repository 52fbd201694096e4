#include "app/team/KXActionReadBack.h"

#include "app/shell/MBProgressHUDManager.h"

namespace KXActionReadBack {

void askWhetherMade(KXSingleRequest& request, KXClassicRequest::Answer onSuccess, ReadBack readBack) {
    auto unknown = [text = readBack.unknownText] { MBProgressHUDManager::showError(text); };
    auto notMade = readBack.onNotMade ? readBack.onNotMade : KXClassicRequest::Failure(KXClassicRequest::showFailure);
    auto judged = [onSuccess = std::move(onSuccess), judge = std::move(readBack.judge), unknown,
                   notMade](const Value& answer) {
        if (!answer.isDictionary()) return unknown();
        switch (judge(answer)) {
            case Verdict::Made: return onSuccess(answer);
            case Verdict::NotMade: return notMade();
            case Verdict::Unknown: return unknown();
        }
    };
    request.send(readBack.check, judged, judged, unknown);
}

bool send(KXSingleRequest& request, const Dictionary& action, KXClassicRequest::Answer onSuccess, ReadBack readBack,
          KXClassicRequest::Answer onRefusal) {
    // A copy of the request shares its one-at-a-time state, so the read
    // counts as the action's request while it is under way.
    auto askAfterUnknownResult = [request, onSuccess, readBack = std::move(readBack)]() mutable {
        askWhetherMade(request, onSuccess, readBack);
    };
    return request.sendTellingUnknownResults(action, std::move(onSuccess), std::move(onRefusal),
                                             std::move(askAfterUnknownResult));
}

bool matches(const Value& record, const Dictionary& sent) {
    if (!record.isDictionary()) return false;
    for (const auto& [key, value] : sent)
        if (KXClassicRequest::text(record[key]) != KXClassicRequest::text(value)) return false;
    return true;
}

Verdict listed(const Value& answer, const std::string& key, const Dictionary& sent) {
    const Array* rows = answer["data"].array();
    if (!rows) return Verdict::NotMade;
    const std::string wanted = KXClassicRequest::text(sent[key]);
    for (const auto& row : *rows)
        if (row.isDictionary() && KXClassicRequest::text(row[key]) == wanted)
            return matches(row, sent) ? Verdict::Made : Verdict::Unknown;
    return Verdict::NotMade;
}

}  // namespace KXActionReadBack
