#include "app/components/Countdown.h"

#include <map>
#include <memory>

#include "foundation/DispatchQueue.h"
#include "foundation/DispatchTimerSource.h"
#include "foundation/NSString.h"
#include "uikit/UIButton.h"

namespace {

constexpr int kSeconds = 59;

// The count each button runs; touched on the main thread only. A button is
// kept alive by its timer's handler until its count ends, so its address
// stays a valid key while it is listed.
std::map<const UIButton*, Ref<DispatchTimerSource>>& runningCounts() {
    static std::map<const UIButton*, Ref<DispatchTimerSource>> counts;
    return counts;
}

bool isRunningCount(const UIButton* button, const Ref<DispatchTimerSource>& timer) {
    auto found = runningCounts().find(button);
    return found != runningCounts().end() && found->second == timer;
}

}  // namespace

void Countdown::StartTimeCodeBtn(const Ref<UIButton>& button) {
    if (!button) return;
    auto timer = DispatchSource::makeTimerSource(DispatchQueue::global());
    auto& counts = runningCounts();
    if (auto earlier = counts.find(button.get()); earlier != counts.end()) earlier->second->cancel();
    counts[button.get()] = timer;

    // Only the handler touches the counter, and a source never runs its
    // handler twice at once.
    auto counter = std::make_shared<int>(kSeconds);
    WeakRef<DispatchTimerSource> weakTimer = timer;
    timer->setEventHandler([button, counter, weakTimer] {
        auto timer = weakTimer.lock();
        if (!timer) return;
        if (*counter >= 1) {
            std::string title = "重新发送(" + NSString::stringWithFormat("%.2d", *counter % 60) + ")";
            DispatchQueue::main()->async([button, timer, title] {
                if (!isRunningCount(button.get(), timer)) return;
                button->setTitle(title, UIControlStateNormal);
                button->setUserInteractionEnabled(false);
            });
            --*counter;
            return;
        }
        timer->cancel();
        DispatchQueue::main()->async([button, timer] {
            if (!isRunningCount(button.get(), timer)) return;
            runningCounts().erase(button.get());
            button->setTitle("获取验证码", UIControlStateNormal);
            button->setUserInteractionEnabled(true);
        });
    });
    timer->schedule(0, 1, 0);
    timer->resume();
}
