#pragma once

#include <string>

#include "app/payment/KXScreenLoads.h"
#include "app/promotion/KXApplyGameModel.h"
#include "app/team/KXPageLoader.h"
#include "uikit/UITableView.h"
#include "uikit/UITableViewDataSource.h"
#include "uikit/UITableViewDelegate.h"
#include "uikit/UITextField.h"
#include "uikit/UITextFieldDelegate.h"
#include "uikit/UIViewController.h"

// "申请游戏": the games the promoter may still apply for, page by page, with
// a search field above the list. A row opens the game's details, where the
// application is made; a granted application reloads the list from its
// first page, so the game leaves it. Pull down to reload from the first
// page, pull up for the next; the search field's return key reloads for
// its keyword.
class KXApplyGameViewController : public UIViewController,
                                  public UITableViewDataSource,
                                  public UITableViewDelegate,
                                  public UITextFieldDelegate {
public:
    // The list, made on first use.
    Ref<UITableView> mainTabelView();
    const Ref<UITextField>& searchField() const { return searchField_; }
    // The keyword of the last search ("" at load), sent with its first page;
    // next pages send the one the rows were loaded with.
    const std::string& keywordStr() const { return keywordStr_; }
    // The page the next load-more sends and the last page, as answered.
    const std::string& p() const { return loader_->p(); }
    const std::string& max_p() const { return loader_->max_p(); }
    std::size_t rowCount() const { return loader_->rows().size(); }
    Ref<KXApplyGameModel> rowModel(std::size_t row) const { return loader_->row<KXApplyGameModel>(row); }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // The pull-down header's and the load-more footer's actions.
    void underRefresh();
    void onRefresh();
    // The whole list for the keyword in one request, without paging; only
    // its answer is logged.
    void sendNetworkRequest();

    long tableViewNumberOfRowsInSection(const Ref<UITableView>& tableView, long section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                        NSIndexPath indexPath) override;
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                            NSIndexPath indexPath) override;
    void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>& tableView, NSIndexPath indexPath) override;
    // Search: takes the field's text as keyword and reloads from page 1.
    bool textFieldShouldReturn(const Ref<UITextField>& textField) override;

protected:
    void didCreate() override;

private:
    void setupchangyongdeshuxing();
    void setupUI();
    void addrefreshControl();
    void sousuanniushuju();

    Ref<UITableView> mainTabelView_;
    Ref<UITextField> searchField_;
    std::string keywordStr_;
    Ref<KXPageLoader> loader_;
    // The reads of the screen's content, ended with the screen.
    KXScreenLoads loads_;
};
