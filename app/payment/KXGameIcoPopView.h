#pragma once

#include <string>
#include <vector>

#include "app/payment/KXGameIcoPopViewDlegate.h"
#include "app/payment/KXdaichongzheKouModel.h"
#include "app/payment/KXScreenLoads.h"
#include "uikit/UIButton.h"
#include "uikit/UICollectionView.h"
#include "uikit/UICollectionViewDataSource.h"
#include "uikit/UICollectionViewDelegateFlowLayout.h"
#include "uikit/UIImageView.h"
#include "uikit/UITextField.h"
#include "uikit/UITapGestureRecognizer.h"

// The game picker: over a dimmed backdrop, a white card with the title
// "游戏图标", a keyword box with a search button, and a grid of the games
// the promoter may top up at a discount ("fuli_game"). Picking a game tells
// the delegate, then the picker removes itself; a tap on the backdrop
// removes it without a choice. Typing only keeps the keyword; the search
// button loads the games for it. Made with the screen's bounds and added
// to the key window; sizes scale with the screen width / 375.
class KXGameIcoPopView : public UIView,
                         public UICollectionViewDataSource,
                         public UICollectionViewDelegateFlowLayout {
public:
    using UIView::UIView;

    Ref<KXGameIcoPopViewDlegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<KXGameIcoPopViewDlegate>& delegate) { delegate_ = delegate; }
    const std::string& keyword() const { return keyword_; }
    void setKeyword(std::string keyword) { keyword_ = std::move(keyword); }
    const std::vector<Ref<KXdaichongzheKouModel>>& dataMuArr() const { return dataMuArr_; }

    Ref<UIView> grayView() const { return grayView_; }
    Ref<UIView> fenxiangView() const { return fenxiangView_; }
    Ref<UICollectionView> maincollectionView() const { return maincollectionView_; }
    Ref<UIView> searchBgView() const { return searchBgView_; }
    Ref<UIImageView> searchImg() const { return searchImg_; }
    Ref<UITextField> searchField() const { return searchField_; }
    Ref<UIButton> searchButton() const { return searchButton_; }

    // Loads the games for the current keyword; the answer replaces the grid,
    // unless a later search was sent meanwhile.
    void requestDatashuju();
    void searchButtonClick(const Ref<UIButton>& sender);
    void searchFieldTextChange(const Ref<UITextField>& sender);
    // The backdrop's tap: the picker leaves the screen.
    void tapView(const Ref<UITapGestureRecognizer>& recognizer);

    long collectionViewNumberOfItemsInSection(const Ref<UICollectionView>& collectionView, long section) override;
    Ref<UICollectionViewCell> collectionViewCellForItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                                   const NSIndexPath& indexPath) override;
    std::optional<CGSize> collectionViewLayoutSizeForItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                                     const Ref<UICollectionViewLayout>& layout,
                                                                     const NSIndexPath& indexPath) override;
    void collectionViewDidSelectItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                const NSIndexPath& indexPath) override;

    std::string className() const override { return "KXGameIcoPopView"; }

protected:
    void didCreate() override;

private:
    void addgrayView();
    void setupUI();
    void addCommonControlsView();
    // Screen width / 375.
    static CGFloat scale();

    WeakRef<KXGameIcoPopViewDlegate> delegate_;
    std::string keyword_;
    std::vector<Ref<KXdaichongzheKouModel>> dataMuArr_;
    // The order of the searches: the latest one's answer wins.
    KXScreenLoads searches_;
    Ref<UIView> grayView_;
    Ref<UIView> fenxiangView_;
    Ref<UICollectionView> maincollectionView_;
    Ref<UIView> searchBgView_;
    Ref<UIImageView> searchImg_;
    Ref<UITextField> searchField_;
    Ref<UIButton> searchButton_;
};
