#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/shell/KXBaseViewController.h"
#include "app/shell/KXHttpManager.h"
#include "app/shell/KXToastSequence.h"
#include "app/tabs/promote/KXPromoteTopView.h"
#include "frameworks/paging/JXPagingView.h"
#include "frameworks/segmented/JXSegmentedTitleDataSource.h"
#include "frameworks/segmented/JXSegmentedView.h"

// The 推广 tab: under its top bar one vertically scrolling page of the
// header (search, four shortcuts, the notice ticker), a bar of game
// categories that stays pinned under the top bar once the header has
// scrolled away, and one list page of promotable games per category, paged
// sideways in step with the bar. The categories ("fenlei") and the notices
// ("news") are asked for when the view loads, at once, each answer
// touching only its own part; a failure is toasted and changes nothing, and
// the part that failed is asked for again at the tab's next appearance.
// Every failure of the tab, its own loads' and its list pages' (each
// toasted on the page's own view), shows in one sequence, one after the
// other. A pull on the page asks for both again (a part still under way is
// not asked twice); the pull ends when neither is under way. The header's taps
// push the search, the notices, the QR page, the commission details, the
// popularity ranking, or a notice's page.
class KXPromoteController : public KXBaseViewController, public JXPagingViewDelegate {
public:
    const Ref<JXPagingView>& pagingView() const { return pagingView_; }
    const Ref<JXSegmentedView>& segmentedView() const { return segmentedView_; }
    const Ref<JXSegmentedTitleDataSource>& segmentedDataSource() const { return segmentedDataSource_; }
    const std::vector<std::string>& titles() const { return titles_; }
    const std::vector<std::string>& ids() const { return ids_; }
    const Ref<KXPromoteTopView>& topView() const { return topView_; }
    const Ref<KXHttpManager>& httpManager() const { return httpManager_; }
    // Whether the categories or the notices are under way.
    bool loading() const { return categories_ == Load::Asking || notices_ == Load::Asking; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    // Asks for the categories and the notices again.
    void loadNewData();

    long tableHeaderViewHeight(const Ref<JXPagingView>& pagingView) override;
    Ref<UIView> tableHeaderView(const Ref<JXPagingView>&) override { return topView_; }
    long heightForPinSectionHeader(const Ref<JXPagingView>& pagingView) override;
    Ref<UIView> viewForPinSectionHeader(const Ref<JXPagingView>&) override { return segmentedView_; }
    long numberOfLists(const Ref<JXPagingView>& pagingView) override;
    Ref<JXPagingViewListViewDelegate> pagingViewInitListAtIndex(const Ref<JXPagingView>& pagingView,
                                                                long index) override;

    std::string className() const override { return "KXPromoteController"; }

private:
    // Where each part stands; not yet asked counts as failed.
    enum class Load { Asking, Loaded, Failed };
    void askForCategories();
    void askForNotices();
    // Records a part's answer and ends the pull once neither part is under way.
    void answered(Load& part, bool loaded);
    // The failure closure of `part`'s request: a toast, and the part failed.
    std::function<void(const std::string&)> failure(Load KXPromoteController::*part);
    void setUpHeaderClosures();
    void push(const Ref<UIViewController>& screen);

    Ref<JXPagingView> pagingView_;
    Ref<JXSegmentedView> segmentedView_ = make<JXSegmentedView>(CGRectZero);
    Ref<JXSegmentedTitleDataSource> segmentedDataSource_;
    std::vector<std::string> titles_;
    std::vector<std::string> ids_;
    Ref<KXPromoteTopView> topView_;
    Ref<KXHttpManager> httpManager_ = make<KXHttpManager>();
    Load categories_ = Load::Failed;
    Load notices_ = Load::Failed;
    // The failures' toasts, the tab's and its pages', so a second does not
    // hide or cover the first.
    KXToastSequence toasts_;
};
