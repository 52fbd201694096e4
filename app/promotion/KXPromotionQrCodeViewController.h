#pragma once

#include "app/payment/KXScreenLoads.h"
#include "foundation/Value.h"
#include "uikit/UIButton.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UIViewController.h"

// The promoter's own promotion page, "推广二维码": a card with the title, an
// icon and the QR picture the back end renders ("qrcode" action), the
// promotion link in a box with a copy button, and the share tiles "涟信",
// "Pal" and "朋友圈". Copying puts the link on the general pasteboard
// silently; every tile opens the QR overlay (KXerweiMaFenXiangView) for the
// link on the key window. Nothing is sent to other apps from here.
//
// The page loads once, when its view loads. Until an answer has arrived
// there is no link: the copy button and the tiles then do nothing.
//
// The views are built in code (they sit below the navigation bar, which
// the page shows) on a view that scrolls, so that the link box and its copy
// button can be reached on a screen too short for the whole page; the
// controller keeps weak outlets to them, each view carrying its outlet's
// name as accessibility identifier.
class KXPromotionQrCodeViewController : public UIViewController {
public:
    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // The copy button's action.
    void fuzhiButTap(const Ref<UIButton>& sender);
    // The action of all three share tiles (their tags are not consulted).
    void imviewTaKaifu(const Ref<UIGestureRecognizer>& recognizer);

    // The `data` object of the last successful answer (nil before).
    const Value& dataDic() const { return dataDic_; }

    Ref<UIView> beijingView() const { return beijingView_.lock(); }
    Ref<UILabel> youxibiaotiLabel() const { return youxibiaotiLabel_.lock(); }
    Ref<UIImageView> icoiamgeView() const { return icoiamgeView_.lock(); }
    Ref<UIImageView> erweiImageView() const { return erweiImageView_.lock(); }
    Ref<UIButton> fuzhiButon() const { return fuzhiButon_.lock(); }
    Ref<UILabel> lianjiedizhiLabel() const { return lianjiedizhiLabel_.lock(); }
    Ref<UIView> lianjieView() const { return lianjieView_.lock(); }

private:
    void setupUI();
    void addShareTiles(const Ref<UIView>& card);
    void sendNetworkRequest();
    void showAnswer(const Value& answer);
    // The link of the last answer; nothing before one arrived.
    std::optional<std::string> promotionLink() const;

    Value dataDic_;
    WeakRef<UIView> beijingView_;
    WeakRef<UILabel> youxibiaotiLabel_;
    WeakRef<UIImageView> icoiamgeView_;
    WeakRef<UIImageView> erweiImageView_;
    WeakRef<UIButton> fuzhiButon_;
    WeakRef<UILabel> lianjiedizhiLabel_;
    WeakRef<UIView> lianjieView_;
    // The reads of the screen's content, ended with the screen.
    KXScreenLoads loads_;
};
