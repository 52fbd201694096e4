#include "app/promotion/KXPromotionQrCodeViewController.h"

#include <array>

#include "app/payment/KXClassicRequest.h"
#include "app/promotion/KXAnswerText.h"
#include "app/promotion/KXerweiMaFenXiangView.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "foundation/NSURL.h"
#include "frameworks/webimage/UIImageViewWebCache.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIPasteboard.h"
#include "uikit/UIScreen.h"
#include "uikit/UIScrollView.h"
#include "uikit/UITapGestureRecognizer.h"

namespace {

struct ShareTile {
    const char* title;
    const char* image;
};
constexpr std::array<ShareTile, 3> kShareTiles{{{"涟信", "ripple_ico"}, {"Pal", "Paltupian_ico"}, {"朋友圈", "pengyouquna_ico"}}};

// The card: margins of 20 points, the tiles' row at y 400 of it.
constexpr CGFloat kQrCardInset = 20;
constexpr CGFloat kCardTop = 15;
constexpr CGFloat kQrCardHeight = 462;
constexpr CGFloat kQrTileTop = 400;
constexpr CGFloat kQrTileWidth = 65;
constexpr CGFloat kQrTileHeight = 47;
constexpr CGFloat kCodeSide = 200;
constexpr CGFloat kLinkBoxHeight = 56;
constexpr CGFloat kCopyButtonWidth = 70;

}  // namespace

void KXPromotionQrCodeViewController::loadView() {
    // The card, the link box and the copy button are taller than the room
    // below the bar on a small screen (320 x 568): the page scrolls.
    auto root = make<UIScrollView>(UIScreen::mainScreen()->bounds());
    root->setAlwaysBounceVertical(true);
    setView(root);
    const CGFloat width = root->bounds().size.width;
    const CGFloat cardWidth = width - 2 * kQrCardInset;

    auto card = make<UIView>(CGRect{kQrCardInset, kCardTop, cardWidth, kQrCardHeight});
    card->setAccessibilityIdentifier("beijingView");
    card->setBackgroundColor(UIColor::whiteColor());
    root->addSubview(card);

    auto title = make<UILabel>(CGRect{0, 24, cardWidth, 24});
    title->setAccessibilityIdentifier("youxibiaotiLabel");
    title->setFont(UIFont::boldSystemFontOfSize(18));
    title->setTextColor(hex("#333333"));
    title->setTextAlignment(NSTextAlignment::Center);
    card->addSubview(title);

    auto icon = make<UIImageView>(CGRect{(cardWidth - 60) / 2, 62, 60, 60});
    icon->setAccessibilityIdentifier("icoiamgeView");
    icon->layer()->setCornerRadius(12);
    icon->setClipsToBounds(true);
    card->addSubview(icon);

    auto code = make<UIImageView>(CGRect{(cardWidth - kCodeSide) / 2, 140, kCodeSide, kCodeSide});
    code->setAccessibilityIdentifier("erweiImageView");
    card->addSubview(code);

    auto hint = make<UILabel>(CGRect{0, 352, cardWidth, 18});
    hint->setText("扫描二维码，下载游戏");
    hint->setFont(UIFont::systemFontOfSize(13));
    hint->setTextColor(hex("#999999"));
    hint->setTextAlignment(NSTextAlignment::Center);
    card->addSubview(hint);

    auto linkBox = make<UIView>(CGRect{kQrCardInset, kCardTop + kQrCardHeight + 15, cardWidth, kLinkBoxHeight});
    linkBox->setAccessibilityIdentifier("lianjieView");
    root->addSubview(linkBox);
    root->setContentSize({width, linkBox->frame().origin.y + kLinkBoxHeight + kCardTop});

    auto link = make<UILabel>(CGRect{15, 0, cardWidth - 30 - kCopyButtonWidth - 10, kLinkBoxHeight});
    link->setAccessibilityIdentifier("lianjiedizhiLabel");
    link->setFont(UIFont::systemFontOfSize(13));
    link->setTextColor(hex("#666666"));
    link->setNumberOfLines(2);
    linkBox->addSubview(link);

    auto copy = UIButton::buttonWithType(UIButtonType::Custom);
    copy->setFrame({cardWidth - 15 - kCopyButtonWidth, (kLinkBoxHeight - 32) / 2, kCopyButtonWidth, 32});
    copy->setAccessibilityIdentifier("fuzhiButon");
    copy->setBackgroundColor(hex("#5879FF"));
    copy->setTitle(std::string("复制"), UIControlStateNormal);
    copy->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    copy->titleLabel()->setFont(UIFont::systemFontOfSize(14));
    copy->addTarget(self<KXPromotionQrCodeViewController>(), &KXPromotionQrCodeViewController::fuzhiButTap,
                    UIControlEventTouchUpInside);
    linkBox->addSubview(copy);

    beijingView_ = card;
    youxibiaotiLabel_ = title;
    icoiamgeView_ = icon;
    erweiImageView_ = code;
    fuzhiButon_ = copy;
    lianjiedizhiLabel_ = link;
    lianjieView_ = linkBox;
}

void KXPromotionQrCodeViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    // The page's layout starts below the navigation bar, translucent or not.
    setEdgesForExtendedLayout(UIRectEdgeNone);
    setupUI();
    sendNetworkRequest();
}

void KXPromotionQrCodeViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false, false);
}

void KXPromotionQrCodeViewController::setupUI() {
    view()->setBackgroundColor(hex("#F5F5F5"));
    setTitle("推广二维码");
    for (const Ref<UIView>& rounded : std::array<Ref<UIView>, 3>{lianjieView(), beijingView(), fuzhiButon()}) {
        if (!rounded) continue;
        rounded->layer()->setCornerRadius(12);
        rounded->setClipsToBounds(true);
    }
    if (auto box = lianjieView()) box->setBackgroundColor(UIColor::whiteColor());
    if (auto card = beijingView()) addShareTiles(card);
}

void KXPromotionQrCodeViewController::addShareTiles(const Ref<UIView>& card) {
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width;
    const CGFloat gap = (width - 40 - 3 * kQrTileWidth) * 0.25;
    for (std::size_t i = 0; i < kShareTiles.size(); ++i) {
        const auto row = static_cast<CGFloat>(i / 3);
        const auto column = static_cast<CGFloat>(i % 3);
        auto tile = make<UIView>(CGRect{gap + gap * column + kQrTileWidth * column, kQrTileTop + kQrTileHeight * row,
                                        kQrTileWidth, kQrTileHeight});
        tile->setBackgroundColor(UIColor::whiteColor());
        tile->setTag(static_cast<long>(i));
        tile->addGestureRecognizer(make<UITapGestureRecognizer>(self<KXPromotionQrCodeViewController>(),
                                                                &KXPromotionQrCodeViewController::imviewTaKaifu));

        auto image = make<UIImageView>(CGRect{20, 0, 24, 24});
        image->setImage(UIImage::imageNamed(kShareTiles[i].image));
        image->setUserInteractionEnabled(true);
        image->setTag(static_cast<long>(i));
        tile->addSubview(image);

        auto label = make<UILabel>(CGRect{0, 30, kQrTileWidth, 17});
        label->setText(kShareTiles[i].title);
        label->setTextAlignment(NSTextAlignment::Center);
        label->setFont(UIFont::systemFontOfSize(12));
        label->setTextColor(hex("#444444"));
        tile->addSubview(label);
        card->addSubview(tile);
    }
}

void KXPromotionQrCodeViewController::sendNetworkRequest() {
    loads_.load(this, KXClassicRequest::query("qrcode"),
                [](const Ref<KXPromotionQrCodeViewController>& page, const Value& answer) { page->showAnswer(answer); });
}

void KXPromotionQrCodeViewController::showAnswer(const Value& answer) {
    dataDic_ = answer["data"];
    if (auto title = youxibiaotiLabel()) title->setText(KXAnswerText::text(dataDic_["title"]));
    if (auto code = erweiImageView()) UIImageViewWebCache::sd_setImageWithURL(code, KXAnswerText::imageURL(dataDic_["qrcode"]));
    if (auto link = lianjiedizhiLabel()) link->setText(KXAnswerText::text(dataDic_["url"]));
    if (auto icon = icoiamgeView()) UIImageViewWebCache::sd_setImageWithURL(icon, KXAnswerText::imageURL(dataDic_["icon"]));
}

std::optional<std::string> KXPromotionQrCodeViewController::promotionLink() const {
    const Value& link = dataDic_["url"];
    if (link.isNil() || link.isNull()) return std::nullopt;
    return KXClassicRequest::text(link);
}

void KXPromotionQrCodeViewController::fuzhiButTap(const Ref<UIButton>&) {
    if (auto link = promotionLink()) UIPasteboard::generalPasteboard()->setString(*link);
}

void KXPromotionQrCodeViewController::imviewTaKaifu(const Ref<UIGestureRecognizer>&) {
    auto link = promotionLink();
    auto window = keyWindow();
    if (!link || !window) return;
    auto overlay = make<KXerweiMaFenXiangView>(UIScreen::mainScreen()->bounds());
    overlay->setUrlStr(*link);
    window->addSubview(overlay);
}
