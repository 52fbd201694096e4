#pragma once

#include <string>
#include <vector>

#include "app/shell/KXBaseViewController.h"
#include "app/shell/KXHttpManager.h"
#include "app/stats/KXStatsList.h"
#include "app/stats/KXOpenServiceInfoProtocol.h"

// "开服信息": the server openings of the back end's `kaifu`, paged (a
// non-empty first page replaces the rows, a non-empty next page is
// appended, a failed first page is toasted). Tapping a screenshot opens a
// full-screen preview of that row's screenshots at the tapped one, loaded
// through the Kingfisher front end; tapping a row does nothing.
class KXOpenServiceInfoController : public KXBaseViewController {
public:
    Ref<UITableView> tableView() const { return tableView_; }
    const Ref<KXOpenServiceInfoProtocol>& tableViewProtocol() const { return tableViewProtocol_; }
    const Ref<KXHttpManager>& httpManager() const { return httpManager_; }
    const std::vector<Ref<KXOpenServiceModel>>& mutDataArr() const { return mutDataArr_.rows; }

    void viewDidLoad() override;
    void loadNewData();
    void loadMoreData();
    // Presents the preview of `images` at `index`. Addresses that form no
    // URL are left out, and the start moves back past those before it.
    void showScreenshots(long index, const std::vector<std::string>& images);

    std::string className() const override { return "KXOpenServiceInfoController"; }

private:
    void firstPageArrived(const std::vector<Ref<KXOpenServiceModel>>& page);
    void firstPageFailed(const std::string& message);
    void nextPageArrived(const std::vector<Ref<KXOpenServiceModel>>& page);
    void nextPageFailed(const std::string& message);
    void showRows();

    Ref<UITableView> tableView_;
    Ref<KXOpenServiceInfoProtocol> tableViewProtocol_ = make<KXOpenServiceInfoProtocol>();
    Ref<KXHttpManager> httpManager_ = make<KXHttpManager>();
    KXStatsList::PagedRows<KXOpenServiceModel> mutDataArr_;
};
