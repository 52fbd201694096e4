#pragma once

#include "app/shell/KXBaseViewController.h"
#include "app/shell/KXHttpManager.h"
#include "app/tabs/home/KXHomeProtocol.h"
#include "uikit/UIButton.h"
#include "uikit/UICollectionView.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

// The 首页 tab: the signed-in promoter's avatar and name on a top
// background, and below it the dashboard of the home answer in one
// collection view (function grid, statistics card, ranking), fed by
// `collectionProtocol`. The answer is asked for when the view loads and on
// each pull-down; a failure is toasted and the shown content stays. A grid
// tile opens its screen through the menu dispatch.
class KXHomeController : public KXBaseViewController {
public:
    Ref<UIImageView> topBgImageView() const { return topBgImageView_; }
    Ref<UIImageView> headImageView() const { return headImageView_; }
    Ref<UILabel> nameLabel() const { return nameLabel_; }
    Ref<UILabel> currentLoginLabel() const { return currentLoginLabel_; }
    Ref<UIButton> qrCodeButton() const { return qrCodeButton_; }
    Ref<UICollectionView> collectionView() const { return collectionView_; }
    const Ref<KXHomeProtocol>& collectionProtocol() const { return collectionProtocol_; }
    const Ref<KXHttpManager>& httpManager() const { return httpManager_; }

    void viewDidLoad() override;
    // The pull-down's action: asks for the home answer again.
    void loadNewData();
    // The scan button's action: pushes the scan screen in the Home tab's style.
    void qrCodeButtonClick(const Ref<UIButton>& sender);
    // Opens the screen of the tile's menu code on this screen's stack.
    void showHomeNavTarget(const Ref<KXHomeNavModel>& model);
    void handleHomeSuccess(const Ref<KXHomeModel>& model);
    void handleHomeFailure(const std::string& message);

    std::string className() const override { return "KXHomeController"; }

private:
    void setUpTopBar();
    void setUpCollectionView();
    void setUpConstraints();
    void requestHome();
    void endRefreshing();

    Ref<UIImageView> topBgImageView_;
    Ref<UIImageView> headImageView_;
    Ref<UILabel> nameLabel_;
    Ref<UILabel> currentLoginLabel_;
    Ref<UIButton> qrCodeButton_;
    Ref<UICollectionView> collectionView_;
    Ref<KXHomeProtocol> collectionProtocol_ = make<KXHomeProtocol>();
    Ref<KXHttpManager> httpManager_ = make<KXHttpManager>();
};
