#pragma once

#include <string>

#include "app/promotion/KXPromoteGameCellDelegate.h"
#include "app/promotion/KXPromoteGameModel.h"
#include "app/team/KXPageLoader.h"
#include "graphics/UIImage.h"
#include "kits/pal/PalApi/PalApiInterface/PalBaseReq.h"
#include "kits/ripple/RPShareMessages.h"
#include "uikit/UITableView.h"
#include "uikit/UITableViewDataSource.h"
#include "uikit/UITableViewDelegate.h"
#include "uikit/UIViewController.h"

// The earlier promoted-games page, "推广游戏": the games the promoter
// promotes ("mygames", paged by KXPageLoader: pull down for the first page,
// up for the next), one KXPromoteGameCell each. The cards' tiles "涟信",
// "Pal" and "朋友圈" open the QR overlay for the game's promotion link on
// the key window; "复制分享" copies the link and says "复制成功". A game
// without a link does neither.
//
// The page also holds the share operation `shared`, which sends a link to a
// Ripple chat or Moments or to Pal, or copies it; nothing in the app calls it.
class KXPromoteGameViewController : public UIViewController,
                                    public UITableViewDelegate,
                                    public UITableViewDataSource,
                                    public KXPromoteGameCellDelegate {
public:
    void viewDidLoad() override;

    // The list, made on first use: the screen's size, no separators.
    Ref<UITableView> mainTabelView();
    // The games shown, in the order of the pages.
    const Array& dataMuArr() const;
    // The page to ask for next and the last page, as the last good answer gave them.
    const std::string& p() const;
    const std::string& max_p() const;
    // The last Pal request the share operation built.
    const Ref<SendMessageToPalReq>& req() const { return req_; }

    // The pull-down and pull-up loads.
    void underRefresh();
    void onRefresh();

    void KXPromoteGameCellxunzhong(long index, const Ref<KXPromoteGameModel>& model) override;

    // Shares `link` under `name` with the picture at `icon`: index 0 to a
    // Ripple chat and 2 to Ripple Moments (once the picture has loaded or
    // failed, as a web-page message with the picture as thumbnail), 1 to Pal
    // as a news link with the picture's address, 3 to the general pasteboard
    // (silently). Other indexes do nothing; the kits' results are ignored.
    void shared(long index, const std::string& icon, const std::string& link, const std::string& name);
    // The Ripple share of index 0 or 2: a media message titled `name`, its
    // description `name` followed by the index, with the thumbnail (none
    // when null) and a web page of the link; scene 0 (chat) for index 0,
    // else 1 (Moments).
    static Ref<SendMessageToRPReq> rippleShareRequest(long index, const Ref<UIImage>& thumbnail,
                                                      const std::string& link, const std::string& name);

    long tableViewNumberOfRowsInSection(const Ref<UITableView>& tableView, long section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                        NSIndexPath indexPath) override;
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                            NSIndexPath indexPath) override;

private:
    void setupUI();
    void setupNavigateView();
    void addrefreshControl();
    Ref<KXPageLoader> loader();

    Ref<UITableView> mainTabelView_;
    Ref<KXPageLoader> loader_;
    Ref<SendMessageToPalReq> req_;
};
