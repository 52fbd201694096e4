#pragma once

#include "app/promotion/KXPromoteGameModel.h"
#include "app/team/KXPageLoader.h"
#include "uikit/UIButton.h"
#include "uikit/UICollectionView.h"
#include "uikit/UICollectionViewDataSource.h"
#include "uikit/UICollectionViewDelegateFlowLayout.h"
#include "uikit/UIViewController.h"

// "我的游戏" of the older dashboards: the promoter's games as a grid of
// cards, three to a row, loaded page by page from "mygames", with the
// "申请游戏" button at the bottom. A card opens the game's details.
class KXMygameYouXiViewController : public UIViewController,
                                   public UICollectionViewDataSource,
                                   public UICollectionViewDelegateFlowLayout {
public:
    const Ref<UICollectionView>& maincollectionView() const { return maincollectionView_; }
    const Ref<UIButton>& applyButton() const { return applyButton_; }
    const std::string& p() const { return loader_->p(); }
    const std::string& max_p() const { return loader_->max_p(); }
    std::size_t rowCount() const { return loader_->rows().size(); }
    Ref<KXPromoteGameModel> rowModel(std::size_t row) const { return loader_->row<KXPromoteGameModel>(row); }

    void viewDidLoad() override;

    void underRefresh();
    void onRefresh();
    // The bottom button: opens the games open for application.
    void jiesuanbuttonTap();

    long collectionViewNumberOfItemsInSection(const Ref<UICollectionView>& collectionView, long section) override;
    Ref<UICollectionViewCell> collectionViewCellForItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                                   const NSIndexPath& indexPath) override;
    std::optional<CGSize> collectionViewLayoutSizeForItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                                     const Ref<UICollectionViewLayout>& layout,
                                                                     const NSIndexPath& indexPath) override;
    void collectionViewDidSelectItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                const NSIndexPath& indexPath) override;

protected:
    void didCreate() override;

private:
    void setupUI();
    void addControlsView();
    void addrefreshControl();

    Ref<UICollectionView> maincollectionView_;
    Ref<UIButton> applyButton_;
    Ref<KXPageLoader> loader_;
};
