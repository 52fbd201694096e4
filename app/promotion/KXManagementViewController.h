#pragma once

#include <string>

#include "app/payment/KXScreenLoads.h"
#include "app/promotion/KXManagementTableViewCellDelegate.h"
#include "foundation/Value.h"
#include "uikit/UITableView.h"
#include "uikit/UIViewController.h"

// The management tab of the earlier tab bar: the sections the back end's
// "guanli" answer lists, one 132-point row each, a title over a grid of
// tiles; a tile opens the screen its type names.
class KXManagementViewController : public UIViewController,
                                   public UITableViewDataSource,
                                   public UITableViewDelegate,
                                   public KXManagementTableViewCellDelegate {
public:
    void viewDidLoad() override;

    // The page's table, made on first use.
    Ref<UITableView> mainTabelView();
    // The sections of the last good answer.
    const Array& dataMutableArr() const { return dataMutableArr_; }

    void sendNetworkRequest();
    // The screen a tile of this type opens, plainly made; null for a type
    // that opens nothing. Exact texts are tried first ("8", "2", "9" to
    // "16"), then the text's integer value (1, 2, 3, 4, 5, 10, 7), so "03"
    // opens what 3 opens but "08" opens nothing.
    static Ref<UIViewController> screenForTileType(const std::string& type);
    // The delegate method: opens the tile's screen on this page's navigation.
    void KXManagementTableViewCellshuju(const Value& tile) override;
    // The navigation title and background of the page's earlier form.
    void setUpchangyongshuxng();

    long tableViewNumberOfRowsInSection(const Ref<UITableView>& tableView, long section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                        NSIndexPath indexPath) override;
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                            NSIndexPath indexPath) override;

    std::string className() const override { return "KXManagementViewController"; }

private:
    void setupUI();

    Ref<UITableView> mainTabelView_;
    Array dataMutableArr_;
    // The reads of the screen's content, ended with the screen.
    KXScreenLoads loads_;
};
