#pragma once

#include <string>

#include "app/payment/KXScreenLoads.h"
#include "app/payment/KXSingleRequest.h"
#include "foundation/Value.h"
#include "uikit/UIButton.h"
#include "uikit/UICollectionView.h"
#include "uikit/UICollectionViewDataSource.h"
#include "uikit/UICollectionViewDelegateFlowLayout.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UITableView.h"
#include "uikit/UITableViewDataSource.h"
#include "uikit/UITableViewDelegate.h"
#include "uikit/UIViewController.h"

// One game of the catalogue, for a promoter deciding whether to promote it:
// icon, name, type, how many promoters applied, the top share, a strip of
// screenshots, the description, the shares by promoter level, a row of
// recommended games and the one-tap application ("一键申请"): once granted
// the screen tells the lists of games open for application
// (kGameAppliedNotification) and closes without a message; when no answer
// comes, the promoter's games tell whether it was granted (KXActionReadBack).
//
// Before the answer the name and type are empty and the figures read "--";
// a failed load leaves them so and ends the description's loading text.
// The pusher sets `idStr` before the view loads. Everything is loaded once,
// with the "game_info" action, and laid out in absolute frames from the
// main screen's size inside the header of a table that has no rows; the
// level and recommendation blocks exist only once an answer came.
class KXGameDetailsViewController : public UIViewController,
                                    public UITableViewDataSource,
                                    public UITableViewDelegate,
                                    public UICollectionViewDataSource,
                                    public UICollectionViewDelegateFlowLayout {
public:
    // Posted once an application is granted; userInfo "id": the game's id.
    static constexpr const char* kGameAppliedNotification = "KXGameAppliedNotification";
    // The description while "game_info" is under way; after a failed load
    // it gives way to nothing.
    static constexpr const char* kLoadingText = "游戏介绍加载中，稍后即可看到玩法、特色与福利说明。";

    const std::string& idStr() const { return idStr_; }
    void setIdStr(std::string idStr) { idStr_ = std::move(idStr); }

    // The `data` of the last good "game_info" answer (empty before one).
    const Dictionary& dataDic() const { return dataDic_; }
    // Its `imgs`: the screenshot addresses, one strip item each.
    const Array& imgsArr() const { return imgsArr_; }
    // The measured height of the description.
    double gaodu() const { return gaodu_; }

    const Ref<UITableView>& mainaTableVie() const { return mainaTableVie_; }
    const Ref<UIView>& headerView() const { return headerView_; }
    const Ref<UIView>& shangmianView() const { return shangmianView_; }
    const Ref<UIImageView>& icoImageView() const { return icoImageView_; }
    const Ref<UILabel>& mingchengLabe() const { return mingchengLabe_; }
    const Ref<UILabel>& celvLabe() const { return celvLabe_; }
    const Ref<UILabel>& renshuLabel() const { return renshuLabel_; }
    const Ref<UILabel>& fenchengLabel() const { return fenchengLabel_; }
    const Ref<UIView>& diErGeView() const { return diErGeView_; }
    const Ref<UICollectionView>& maincollectionView() const { return maincollectionView_; }
    const Ref<UIView>& youxixiangqingView() const { return youxixiangqingView_; }
    const Ref<UILabel>& leirongLabel() const { return leirongLabel_; }
    const Ref<UIView>& dengjilevelView() const { return dengjilevelView_; }
    const Ref<UIView>& cangnixihuanView() const { return cangnixihuanView_; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // The height of `text` in the system font of `fontSize`, wrapped to the
    // description's width (the screen's width less 40).
    double calculateRowHeight(const std::string& text, int fontSize) const;

    // The apply button's action: sends the application.
    void jiesuanbuttonTap();

    // The table: one section without rows (everything is in its header).
    long tableViewNumberOfRowsInSection(const Ref<UITableView>& tableView, long section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                        NSIndexPath indexPath) override;

    // The screenshot strip.
    long collectionViewNumberOfItemsInSection(const Ref<UICollectionView>& collectionView, long section) override;
    Ref<UICollectionViewCell> collectionViewCellForItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                                   const NSIndexPath& indexPath) override;
    std::optional<CGSize> collectionViewLayoutSizeForItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                                     const Ref<UICollectionViewLayout>& layout,
                                                                     const NSIndexPath& indexPath) override;

private:
    void CommonlyUsedAttributes();
    void setupUI();
    void addIntroductionBlock(CGFloat width);
    void addScreenshotStrip(CGFloat width);
    void addDescriptionBlock(CGFloat width);
    void sendNetworkRequest();
    // The loading text goes when "game_info" was refused or failed.
    void endLoadingText();
    // "<number>人申请", "--" standing for a number not (yet) sent.
    static std::string applicants(const std::string& number);
    // Fills the views from `dataDic_` and builds the last two blocks.
    void shezhichangyongdekongjian();
    void adddengjiview();
    void addcainixihuanView();
    void shengqingjiekou();

    std::string idStr_;
    Dictionary dataDic_;
    Array imgsArr_;
    double gaodu_ = 0;

    Ref<UITableView> mainaTableVie_;
    Ref<UIView> headerView_;
    Ref<UIView> shangmianView_;
    Ref<UIImageView> icoImageView_;
    Ref<UILabel> mingchengLabe_;
    Ref<UILabel> celvLabe_;
    Ref<UILabel> renshuLabel_;
    Ref<UILabel> fenchengLabel_;
    Ref<UIView> diErGeView_;
    Ref<UICollectionView> maincollectionView_;
    Ref<UIView> youxixiangqingView_;
    Ref<UILabel> leirongLabel_;
    Ref<UIView> dengjilevelView_;
    Ref<UIView> cangnixihuanView_;
    // "shenqing" with the wait HUD "正在一键申请", one at a time.
    KXSingleRequest applying_{"正在一键申请"};
    // The reads of the screen's content, ended with the screen.
    KXScreenLoads loads_;
};
