#pragma once

#include <string>
#include <vector>

#include "app/shell/KXBaseViewController.h"
#include "app/shell/KXHttpManager.h"
#include "app/stats/KXStatsList.h"
#include "app/stats/KXGameGiftBagProtocol.h"
#include "uikit/UIImageView.h"
#include "uikit/UITextField.h"
#include "uikit/UITextFieldDelegate.h"

// "游戏礼包": the gift bags of the back end's `lb`, paged, searched by a
// game keyword. The keyword changes only at the return key (to the field's
// text) and when editing empties the field; pull-down and load-more use the
// keyword, not the field. A non-empty first page replaces the rows, and so
// does an empty one that answers another keyword (no bag matches: the empty
// view shows); a next page is appended and pages the keyword the rows were
// loaded with (KXHttpManager); a failed first page is toasted and leaves
// the rows. A row tap opens the bag's detail pop-up.
class KXGameGiftBagController : public KXBaseViewController, public UITextFieldDelegate {
public:
    Ref<UIView> searchBgView() const { return searchBgView_; }
    Ref<UIImageView> searchLogoImage() const { return searchLogoImage_; }
    Ref<UITextField> searchField() const { return searchField_; }
    Ref<UITableView> tableView() const { return tableView_; }
    const Ref<KXGameGiftBagProtocol>& tableViewProtocol() const { return tableViewProtocol_; }
    const Ref<KXHttpManager>& httpManager() const { return httpManager_; }
    const std::vector<Ref<KXGameGiftBagModel>>& mutDataArr() const { return mutDataArr_.rows; }
    const std::string& keyword() const { return keyword_; }

    void viewDidLoad() override;
    void loadNewData();
    void loadMoreData();
    void searchTextFieldChange(const Ref<UITextField>& sender);
    bool textFieldShouldReturn(const Ref<UITextField>& textField) override;
    // Opens the detail pop-up of the bag.
    void showGiftBag(const Ref<KXGameGiftBagModel>& model);

    std::string className() const override { return "KXGameGiftBagController"; }

private:
    void setUpViews();
    void setUpConstraints();
    void requestFirstPage();
    void firstPageArrived(const std::vector<Ref<KXGameGiftBagModel>>& page);
    void firstPageFailed(const std::string& message);
    void nextPageArrived(const std::vector<Ref<KXGameGiftBagModel>>& page);
    void nextPageFailed(const std::string& message);
    void showRows();

    Ref<UIView> searchBgView_;
    Ref<UIImageView> searchLogoImage_;
    Ref<UITextField> searchField_;
    Ref<UITableView> tableView_;
    Ref<KXGameGiftBagProtocol> tableViewProtocol_ = make<KXGameGiftBagProtocol>();
    Ref<KXHttpManager> httpManager_ = make<KXHttpManager>();
    KXStatsList::PagedRows<KXGameGiftBagModel> mutDataArr_;
    std::string keyword_;
};
