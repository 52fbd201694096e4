#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/payment/KXScreenLoads.h"
#include "app/team/KXPersonalInformationModel.h"
#include "app/team/KXShuRuTankuanViewDelegate.h"
#include "foundation/Value.h"
#include "uikit/UIImageView.h"
#include "uikit/UITableView.h"
#include "uikit/UIViewController.h"

// The profile screen ("个人信息"): the avatar and eight titled rows of the
// signed-in promoter's record ("my_config"). A row still empty opens the
// one-field pop-up (KXShuRuTankuanView) to fill it in; a filled row is
// locked, as the footer says. After a save the record loads again.
class KXPersonalInformationViewController : public UIViewController,
                                            public UITableViewDataSource,
                                            public UITableViewDelegate,
                                            public KXShuRuTankuanViewDelegate {
public:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    void setupUI();
    void addheaderView();
    void sendNetworkRequest();
    // The pop-up saved a value, or may have: load the record again.
    void shuxingshuju() override;

    Ref<UITableView> mainTabelView();
    Ref<UIView> hederView() const { return hederView_; }
    Ref<UIImageView> headImageView() const { return headImageView_; }
    // The `data` of the last loaded record; nothing before the first.
    const std::optional<Dictionary>& shujuDic() const { return shujuDic_; }
    // One model per row, rebuilt with every loaded record; empty before.
    const std::vector<Ref<KXPersonalInformationModel>>& dataMuArr() const { return dataMuArr_; }
    const std::vector<std::string>& leftArr() const { return leftArr_; }

    long tableViewNumberOfRowsInSection(const Ref<UITableView>& tableView, long section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                        NSIndexPath indexPath) override;
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                            NSIndexPath indexPath) override;
    void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>& tableView, NSIndexPath indexPath) override;

    std::string className() const override { return "KXPersonalInformationViewController"; }

private:
    void showRecord(const Value& data);

    Ref<UITableView> mainTabelView_;
    Ref<UIView> hederView_;
    Ref<UIImageView> headImageView_;
    std::optional<Dictionary> shujuDic_;
    std::vector<Ref<KXPersonalInformationModel>> dataMuArr_;
    std::vector<std::string> leftArr_;
    KXScreenLoads loads_;
};
