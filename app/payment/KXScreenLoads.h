#pragma once

#include <map>
#include <memory>
#include <string>
#include <type_traits>

#include "app/payment/KXClassicRequest.h"
#include "app/shell/KXPageRequests.h"

// The reads a classic screen sends to show its content (its actions go
// through KXSingleRequest and are never ended early). The screen owns one:
// each kind of read (its action) keeps the order of KXPageRequests, so a
// read supersedes the one of its kind under way and only the newest answer
// is shown, and when the screen is gone (popped or dismissed, so released)
// every read still under way is cancelled and gives up its connection.
//
// The blocks run only for the newest read of their kind while the owner
// lives. They hold their screen weakly, so that a read never keeps a screen
// the user has left:
//
//     loads_.load(this, KXClassicRequest::query("foo"),
//                 [](const Ref<KXFooViewController>& screen, const Value& answer) { screen->show(answer); });
class KXScreenLoads {
public:
    template <class Screen> using Answer = std::function<void(const Ref<Screen>& screen, const Value& answer)>;
    template <class Screen> using Failure = std::function<void(const Ref<Screen>& screen)>;

    KXScreenLoads();

    // Sends `query` as KXClassicRequest::send does, for `owner`, the screen
    // (or view) that owns this, held weakly. Code 1: `onSuccess`. Another
    // code: `onOtherCode` when given, else showRefusal. Transport failure:
    // `onFailure` when given, else showFailure. None runs once the owner is
    // gone or a newer read of the same action was sent.
    template <class Screen>
    void load(Screen* owner, const Dictionary& query, std::type_identity_t<Answer<Screen>> onSuccess,
              std::type_identity_t<Answer<Screen>> onOtherCode = nullptr,
              std::type_identity_t<Failure<Screen>> onFailure = nullptr) {
        const WeakRef<Screen> screen = owner->template weakSelf<Screen>();
        load(query,
             [screen, onSuccess = std::move(onSuccess)](const Value& answer) {
                 if (auto shown = screen.lock(); shown && onSuccess) onSuccess(shown, answer);
             },
             [screen, onOtherCode = std::move(onOtherCode)](const Value& answer) {
                 auto shown = screen.lock();
                 if (!shown) return;
                 if (onOtherCode) onOtherCode(shown, answer);
                 else KXClassicRequest::showRefusal(answer);
             },
             [screen, onFailure = std::move(onFailure)] {
                 auto shown = screen.lock();
                 if (!shown) return;
                 if (onFailure) onFailure(shown);
                 else KXClassicRequest::showFailure();
             });
    }

private:
    // Sends `query` in the order of its action; each block (all given) runs
    // only for the newest read of the action while this lives.
    void load(const Dictionary& query, KXClassicRequest::Answer onSuccess, KXClassicRequest::Answer onOtherCode,
              KXClassicRequest::Failure onFailure);

    using Kinds = std::map<std::string, KXPageRequests>;
    // Shared with the blocks, weakly: they find their order while it lives.
    std::shared_ptr<Kinds> kinds_;
};
