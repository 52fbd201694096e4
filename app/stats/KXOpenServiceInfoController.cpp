#include "app/stats/KXOpenServiceInfoController.h"

#include "app/shell/KXNavigationView.h"
#include "app/shell/KXUniversal.h"
#include "app/stats/KXStatsList.h"
#include "foundation/NSLog.h"
#include "foundation/NSURL.h"
#include "frameworks/imagepreview/ZLImagePreviewController.h"
#include "frameworks/webimage/KingfisherImageView.h"

void KXOpenServiceInfoController::viewDidLoad() {
    KXBaseViewController::viewDidLoad();
    navigationView()->titleLabel()->setText("开服信息");
    tableView_ = KXStatsList::makeCardTable(tableViewProtocol_);
    tableView_->setAccessibilityIdentifier("tableView");
    KXStatsList::placeBelowBar(tableView_, navigationView());
    KXStatsList::attachNoDataView(tableView_);
    loadNewData();
    auto me = self<KXOpenServiceInfoController>();
    KXStatsList::attachRefresh(tableView_, me);
    tableViewProtocol_->didClickGame = [] {};
    WeakRef<KXOpenServiceInfoController> weak = me;
    tableViewProtocol_->didSelectImage = [weak](long index, const std::vector<std::string>& images) {
        if (auto screen = weak.lock()) screen->showScreenshots(index, images);
    };
}

void KXOpenServiceInfoController::loadNewData() {
    auto me = self<KXOpenServiceInfoController>();
    httpManager_->requestOpenService(KXStatsList::weakly(me, &KXOpenServiceInfoController::firstPageArrived),
                                     KXStatsList::weakly(me, &KXOpenServiceInfoController::firstPageFailed));
}

void KXOpenServiceInfoController::loadMoreData() {
    auto me = self<KXOpenServiceInfoController>();
    httpManager_->requestMoreOpenService(KXStatsList::weakly(me, &KXOpenServiceInfoController::nextPageArrived),
                                         KXStatsList::weakly(me, &KXOpenServiceInfoController::nextPageFailed));
}

void KXOpenServiceInfoController::firstPageArrived(const std::vector<Ref<KXOpenServiceModel>>& page) {
    mutDataArr_.firstPageArrived(tableView_, page, httpManager_->keptRows());
    showRows();
}

void KXOpenServiceInfoController::firstPageFailed(const std::string& message) {
    KXStatsList::firstPageFailed(tableView_, view(), message);
}

void KXOpenServiceInfoController::nextPageArrived(const std::vector<Ref<KXOpenServiceModel>>& page) {
    mutDataArr_.nextPageArrived(tableView_, page);
    showRows();
}

void KXOpenServiceInfoController::nextPageFailed(const std::string& message) {
    KXStatsList::nextPageFailed(tableView_, view(), message);
}

void KXOpenServiceInfoController::showRows() {
    tableViewProtocol_->models = mutDataArr_.rows;
    tableView_->reloadData();
}

void KXOpenServiceInfoController::showScreenshots(long index, const std::vector<std::string>& images) {
    std::vector<Ref<NSURL>> datas;
    long start = index;
    for (std::size_t i = 0; i < images.size(); ++i) {
        if (auto url = NSURL::URLWithString(images[i])) datas.push_back(url);
        else if (static_cast<long>(i) < index) --start;
    }
    if (datas.empty()) return;
    auto loader = [](const Ref<NSURL>& url, const Ref<UIImageView>& imageView, std::function<void(CGFloat)> progress,
                     std::function<void()> finish) {
        Kingfisher::kf(imageView).setImage(
            url, nullptr, {},
            [progress](std::int64_t received, std::int64_t total) {
                const CGFloat fraction = total > 0 ? static_cast<CGFloat>(received) / static_cast<CGFloat>(total) : 0;
                NSLog("%f", fraction);
                if (progress) progress(fraction);
            },
            [finish](const Kingfisher::RetrieveImageResult&) {
                if (finish) finish();
            });
    };
    auto preview = make<ZLImagePreviewController>(datas, start, false, true,
                                                  [](const Ref<NSURL>&) { return ZLURLType::Image; }, loader);
    preview->setDoneBlock([](const std::vector<Ref<NSURL>>& items) {
        std::string listed;
        for (const auto& item : items) listed += (listed.empty() ? "" : ", ") + item->absoluteString();
        NSLog("(%@)", listed);
    });
    preview->setModalPresentationStyle(UIModalPresentationStyle::FullScreen);
    showDetailViewController(preview, nullptr);
}
