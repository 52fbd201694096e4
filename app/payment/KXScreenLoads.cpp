#include "app/payment/KXScreenLoads.h"

#include "foundation/NSURLSessionDataTask.h"

KXScreenLoads::KXScreenLoads() : kinds_(std::make_shared<Kinds>()) {}

void KXScreenLoads::load(const Dictionary& query, KXClassicRequest::Answer onSuccess,
                         KXClassicRequest::Answer onOtherCode, KXClassicRequest::Failure onFailure) {
    const std::string kind = KXClassicRequest::text(query["ac"]);
    const auto ticket = (*kinds_)[kind].startFirstPage();
    auto current = [kinds = std::weak_ptr<Kinds>(kinds_), kind, ticket] {
        auto owner = kinds.lock();
        return owner && (*owner)[kind].answered(ticket);
    };
    (*kinds_)[kind].sent(ticket, KXClassicRequest::send(
                                     query,
                                     [current, onSuccess = std::move(onSuccess)](const Value& answer) {
                                         if (current()) onSuccess(answer);
                                     },
                                     [current, onOtherCode = std::move(onOtherCode)](const Value& answer) {
                                         if (current()) onOtherCode(answer);
                                     },
                                     [current, onFailure = std::move(onFailure)] {
                                         if (current()) onFailure();
                                     }));
}
