#include "app/team/KXPageLoader.h"

#include "app/payment/KXClassicRequest.h"
#include "app/shell/KXFailureText.h"
#include "app/shell/MBProgressHUDManager.h"
#include "foundation/NSString.h"
#include "foundation/NSURLSessionDataTask.h"
#include "frameworks/refresh/MJRefreshBackNormalFooter.h"
#include "frameworks/refresh/MJRefreshNormalHeader.h"
#include "frameworks/refresh/UIScrollViewMJRefresh.h"
#include "uikit/UICollectionView.h"
#include "uikit/UITableView.h"

namespace {

const char* const kNoMorePages = "没有更多数据，请待会在上拉加载";

}  // namespace

KXPageLoader::KXPageLoader(std::string action, RowDecoder decoder, Pull pull)
    : action_(std::move(action)), decoder_(std::move(decoder)), pull_(pull) {}

KXPageLoader::RowDecoder KXPageLoader::rowsAsTheyCome() {
    return [](const Value& data) {
        const Array* items = data.array();
        return items ? *items : Array();
    };
}

void KXPageLoader::setField(const std::string& key, std::string value) { fields_.set(key, std::move(value)); }

void KXPageLoader::attachTo(const Ref<UIScrollView>& scrollView) {
    scrollView_ = scrollView;
    auto loader = self<KXPageLoader>();
    auto header = MJRefreshNormalHeader::headerWithRefreshingTarget(loader, &KXPageLoader::underRefresh);
    UIScrollViewMJRefresh::setMj_header(scrollView, header);
    header->beginRefreshing();
    UIScrollViewMJRefresh::setMj_footer(scrollView,
                                        MJRefreshBackNormalFooter::footerWithRefreshingTarget(loader, &KXPageLoader::onRefresh));
}

void KXPageLoader::endRefreshing() {
    auto scrollView = scrollView_.lock();
    if (!scrollView) return;
    if (auto header = UIScrollViewMJRefresh::mj_header(scrollView)) header->endRefreshing();
    if (auto footer = UIScrollViewMJRefresh::mj_footer(scrollView)) footer->endRefreshing();
}

void KXPageLoader::underRefresh() {
    const auto ticket = pages_.startFirstPage();
    if (pull_ == Pull::EmptiesTheList) empty();
    send(Page::First, ticket);
}

void KXPageLoader::empty() {
    p_ = "1";
    rows_.clear();
    listFields_ = fields_;
    auto scrollView = scrollView_.lock();
    if (auto table = cast<UITableView>(scrollView)) table->reloadData();
    else if (auto grid = cast<UICollectionView>(scrollView)) grid->reloadData();
}

void KXPageLoader::onRefresh() {
    // The page under way ends the refreshing when it answers.
    if (pages_.underWay()) return;
    if (!pageArrived_ || NSString::intValue(p_) > NSString::intValue(max_p_)) {
        endRefreshing();
        MBProgressHUDManager::showError(pageArrived_ ? kNoMorePages : KXFailureText::kNoData);
        return;
    }
    if (auto ticket = pages_.startNextPage()) send(Page::Next, *ticket);
}

void KXPageLoader::reload() {
    auto scrollView = scrollView_.lock();
    auto header = scrollView ? UIScrollViewMJRefresh::mj_header(scrollView) : nullptr;
    // A resting header begins refreshing, which calls underRefresh.
    if (header && !header->isRefreshing()) header->beginRefreshing();
    else underRefresh();
}

void KXPageLoader::send(Page page, KXPageRequests::Ticket ticket) {
    // A next page is of the list the rows belong to, whatever the fields say now.
    const Dictionary ownFields = page == Page::First ? fields_ : listFields_;
    Dictionary fields = ownFields;
    fields.set("p", page == Page::First ? std::string("1") : p_);
    // The request holds the loader weakly: the loader goes with its screen,
    // and the page under way ends with it.
    WeakRef<KXPageLoader> weak = weakSelf<KXPageLoader>();
    auto current = [weak, ticket]() -> Ref<KXPageLoader> {
        auto loader = weak.lock();
        if (!loader || !loader->pages_.answered(ticket)) return nullptr;
        loader->endRefreshing();
        return loader;
    };
    pages_.sent(ticket, KXClassicRequest::send(
        KXClassicRequest::query(action_, fields),
        [current, page, ownFields](const Value& answer) {
            if (auto loader = current()) loader->answered(page, ownFields, answer);
        },
        [current](const Value& answer) {
            if (current()) KXClassicRequest::showRefusal(answer);
        },
        [current] {
            if (current()) KXClassicRequest::showFailure();
        }));
}

void KXPageLoader::answered(Page page, const Dictionary& ownFields, const Value& answer) {
    pageArrived_ = true;
    listFields_ = ownFields;
    p_ = KXClassicRequest::text(answer["p"]);
    max_p_ = KXClassicRequest::text(answer["max_p"]);
    Array rows = decoder_(answer["data"]);
    if (page == Page::First) {
        rows_ = std::move(rows);
    } else {
        rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    }
    if (loaded_) loaded_(page, answer);
}
