#include "frameworks/webimage/WebImageViewLoads.h"

#include <map>
#include <memory>
#include <utility>

#include "frameworks/webimage/SDWebImageManager.h"
#include "uikit/UIView.h"

namespace {

// The loads of one view by slot; they end with it.
class ViewLoads {
public:
    ViewLoads() = default;
    ViewLoads(const ViewLoads&) = delete;
    ViewLoads& operator=(const ViewLoads&) = delete;
    ~ViewLoads() {
        for (const auto& [slot, load] : loads_) load->cancel();
    }

    // The slot's earlier load, now replaced.
    Ref<WebImageLoad> replace(long slot, Ref<WebImageLoad> load) { return std::exchange(loads_[slot], std::move(load)); }

private:
    std::map<long, Ref<WebImageLoad>> loads_;
};

// What the view keeps its loads under.
const char viewLoadsKey = 0;

}  // namespace

void WebImageViewLoads::setLoad(const Ref<UIView>& view, long slot, Ref<WebImageLoad> load) {
    auto loads = std::static_pointer_cast<ViewLoads>(view->associatedObject(&viewLoadsKey));
    if (!loads) {
        loads = std::make_shared<ViewLoads>();
        view->setAssociatedObject(&viewLoadsKey, loads);
    }
    // Cancelled after the new load has joined its download: the same
    // address given again keeps its download going.
    if (auto replaced = loads->replace(slot, std::move(load))) replaced->cancel();
}
