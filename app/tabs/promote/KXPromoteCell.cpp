#include "app/tabs/promote/KXPromoteCell.h"

#include "app/promotion/KXerweiMaFenXiangView.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "app/stats/KXStatsList.h"
#include "frameworks/constraints/ConstraintViewDSL.h"
#include "frameworks/webimage/UIImageViewWebCache.h"
#include "foundation/NSURL.h"
#include "uikit/UIPasteboard.h"

namespace {

struct ActionLook {
    const char* name;
    const char* image;
    const char* title;
    void (KXPromoteCell::*click)(const Ref<UIControl>&);
};

const ActionLook kActionLooks[] = {
    {"copyPromote", "copyPromote", "复制推广", &KXPromoteCell::copyPromoteButtonClick},
    {"qrCode", "qrPromote", "二维码", &KXPromoteCell::qrCodeButtonClick},
    {"ripple", "ripplePromote", "涟信", &KXPromoteCell::rippleButtonClick},
    {"pal", "palPromote", "Pal", &KXPromoteCell::palButtonClick},
    {"friend", "friendPromote", "朋友圈", &KXPromoteCell::friendButtonClick},
};

// A tag: small white or dark text, centred in a rounded plate of fixed size.
Ref<KXLabel> tagLabel(const char* identifier, const char* text, const char* textColor, CGFloat s) {
    auto label = KXLabel::systemLabel(text, textColor, 8 * s);
    label->setAccessibilityIdentifier(identifier);
    label->layer()->setCornerRadius(6 * s);
    label->setTextAlignment(NSTextAlignment::Center);
    label->setClipsToBounds(true);
    return label;
}

}  // namespace

void KXPromoteCell::didCreate() {
    UITableViewCell::didCreate();
    setUpViews();
    setUpConstraints();
}

void KXPromoteCell::setUpViews() {
    const CGFloat s = layoutScale();
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    setBackgroundColor(UIColor::clearColor());

    bgView_ = make<UIView>();
    bgView_->setAccessibilityIdentifier("bgView");
    bgView_->setBackgroundColor(UIColor::whiteColor());
    bgView_->layer()->setCornerRadius(12 * s);
    bgView_->layer()->setShadowColor(UIColorHex::colorWithHexString("#C4C4C4", 0.16));
    bgView_->layer()->setShadowOffset({0, 0});
    bgView_->layer()->setShadowOpacity(1.0);
    contentView()->addSubview(bgView_);

    shadowView_ = make<UIView>();
    shadowView_->setAccessibilityIdentifier("shadowView");
    shadowView_->setBackgroundColor(UIColor::whiteColor());
    shadowView_->layer()->setShadowColor(UIColorHex::colorWithHexString("#7D7D7D", 0.12));
    shadowView_->layer()->setShadowOffset({0, 4 * s});
    shadowView_->layer()->setShadowOpacity(1.0);
    bgView_->addSubview(shadowView_);

    numLabel_ = KXLabel::systemLabel("1", "#FFFFFF", 10 * s);
    numLabel_->setAccessibilityIdentifier("numLabel");
    numLabel_->setFont(UIFont::systemFontOfSize(10 * s, UIFontWeightSemibold));
    numLabel_->layer()->setCornerRadius(8 * s);
    numLabel_->setBackgroundColor(hex("#FF4F2F"));
    numLabel_->setTextAlignment(NSTextAlignment::Center);
    numLabel_->setClipsToBounds(true);
    bgView_->addSubview(numLabel_);

    gameImageView_ = KXStatsList::gameIconView("gameImageView");
    bgView_->addSubview(gameImageView_);

    nameLabel_ = KXLabel::boldLabel("游戏名称", "#444444", 14 * s);
    nameLabel_->setAccessibilityIdentifier("nameLabel");
    bgView_->addSubview(nameLabel_);
    typeLabel_ = KXLabel::systemLabel("类型", "#888888", 10 * s);
    typeLabel_->setAccessibilityIdentifier("typeLabel");
    bgView_->addSubview(typeLabel_);
    recommendLabel_ = KXLabel::boldLabel("推荐指数", "#444444", 10 * s);
    recommendLabel_->setAccessibilityIdentifier("recommendLabel");
    bgView_->addSubview(recommendLabel_);

    starView_ = make<CosmosView>();
    starView_->setAccessibilityIdentifier("starView");
    CosmosSettings stars = starView_->settings();
    stars.filledColor = hex("#FF4F2F");
    stars.emptyColor = hex("#CCCCCC");
    stars.filledBorderColor = UIColor::clearColor();
    stars.emptyBorderColor = UIColor::clearColor();
    stars.starSize = 8 * s;
    stars.starMargin = 0;
    starView_->setSettings(stars);
    starView_->setRating(0);
    starView_->setUserInteractionEnabled(false);
    starView_->didTouchCosmos = [](double) {};
    bgView_->addSubview(starView_);

    scaleLabel_ = tagLabel("scaleLabel", "分成比例：85%", "#FFFFFF", s);
    scaleLabel_->setBackgroundColor(hex("#5559EA"));
    bgView_->addSubview(scaleLabel_);
    rebateLabel_ = tagLabel("rebateLabel", "超高返利", "#FFFFFF", s);
    rebateLabel_->setBackgroundColor(hex("#FF4F2F"));
    bgView_->addSubview(rebateLabel_);
    divineLabel_ = tagLabel("divineLabel", "满级送神装", "#333333", s);
    divineLabel_->setClipsToBounds(false);
    divineLabel_->layer()->setBorderColor(hex("#CCCCCC"));
    divineLabel_->layer()->setBorderWidth(1);
    bgView_->addSubview(divineLabel_);

    for (std::size_t index = 0; index < actions_.size(); ++index) {
        const ActionLook& look = kActionLooks[index];
        KXIconColumn& column = actions_[index];
        column = KXIconColumn::make(bgView_, look.name, look.image, KXLabel::systemLabel(look.title, "#C1C1CB", 12 * s));
        column.button->addTarget(self<KXPromoteCell>(), look.click, UIControlEventTouchUpInside);
    }
}

void KXPromoteCell::setUpConstraints() {
    const CGFloat s = layoutScale();
    snp(bgView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalToSuperview().offset(20 * s);
        make.right.equalToSuperview().offset(-20 * s);
        make.top.equalToSuperview();
        make.bottom.equalToSuperview().offset(-10 * s);
        // Below required: the cell is first laid out at a height of its own
        // before the table sizes it to fit the card.
        make.height.equalTo(156 * s).priority(999);
    });
    snp(shadowView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.right.equalToSuperview();
        make.centerY.equalToSuperview().offset(-5 * s);
        make.height.equalTo(10 * s);
    });
    snp(numLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalToSuperview().offset(14 * s);
        make.top.equalToSuperview().offset(35 * s);
        make.width.height.equalTo(16 * s);
    });
    snp(gameImageView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(numLabel_).right).offset(10 * s);
        make.top.equalToSuperview().offset(10 * s);
        make.width.height.equalTo(58 * s);
    });
    snp(nameLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(gameImageView_).right).offset(6 * s);
        make.top.equalTo(snp(gameImageView_).top).offset(3 * s);
    });
    snp(typeLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(nameLabel_).right).offset(6 * s);
        make.centerY.equalTo(snp(nameLabel_).centerY);
    });
    snp(recommendLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(gameImageView_).right).offset(6 * s);
        make.top.equalTo(snp(nameLabel_).bottom).offset(6 * s);
    });
    snp(starView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(recommendLabel_).right).offset(2 * s);
        make.centerY.equalTo(snp(recommendLabel_).centerY);
    });
    snp(scaleLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(gameImageView_).right).offset(6 * s);
        make.bottom.equalTo(snp(gameImageView_).bottom);
        make.width.equalTo(70 * s);
        make.height.equalTo(12 * s);
    });
    snp(rebateLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(scaleLabel_).right).offset(6 * s);
        make.centerY.equalTo(snp(scaleLabel_).centerY);
        make.width.equalTo(44 * s);
        make.height.equalTo(12 * s);
    });
    snp(divineLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(rebateLabel_).right).offset(6 * s);
        make.centerY.equalTo(snp(scaleLabel_).centerY);
        make.width.equalTo(52 * s);
        make.height.equalTo(12 * s);
    });
    Ref<UIView> previousIcon;
    for (const KXIconColumn& column : actions_) {
        snp(column.imageView).makeConstraints([&](ConstraintMaker& make) {
            if (previousIcon) make.left.equalTo(snp(previousIcon).right).offset(47 * s);
            else make.left.equalToSuperview().offset(24 * s);
            make.top.equalTo(snp(shadowView_).bottom).offset(18 * s);
            make.width.height.equalTo(20 * s);
        });
        column.constrainCaptionAndButton(8 * s);
        previousIcon = column.imageView;
    }
    actions_[Pal].label->setContentHuggingPriority(UILayoutPriorityRequired, UILayoutConstraintAxis::Horizontal);
}

void KXPromoteCell::setModel(Ref<Velmaro::KXPromoteGameModel> model) {
    model_ = std::move(model);
    UIImageViewWebCache::sd_setImageWithURL(gameImageView_, NSURL::URLWithString(model_ ? model_->icon : std::string()));
    nameLabel_->setText(model_ ? model_->name : std::string());
    typeLabel_->setText(model_ ? model_->type : std::string());
    const std::array<Ref<KXLabel>, 3> tags{scaleLabel_, rebateLabel_, divineLabel_};
    for (const auto& tag : tags) tag->setHidden(true);
    const std::size_t count = model_ ? model_->biaoqian.size() : 0;
    if (count >= 1 && count <= tags.size()) {
        for (std::size_t index = 0; index < count; ++index) {
            tags[index]->setText(model_->biaoqian[index]);
            tags[index]->setHidden(false);
        }
    }
    starView_->setRating(model_ ? starRating(model_->point, starView_->settings().totalStars) : 0);
}

void KXPromoteCell::setIndexPath(std::optional<NSIndexPath> indexPath) {
    indexPath_ = indexPath;
    if (indexPath_) numLabel_->setText(std::to_string(indexPath_->row() + 1));
}

const std::string* KXPromoteCell::link() const {
    if (!model_ || model_->h5_url.empty()) return nullptr;
    return &model_->h5_url;
}

// Without a link there is nothing to copy: the clipboard keeps what the
// user had there, and no success is told.
void KXPromoteCell::copyPromoteButtonClick(const Ref<UIControl>&) {
    const std::string* url = link();
    if (!url) return;
    UIPasteboard::generalPasteboard()->setString(*url);
    showToast(self<UIView>(), "复制成功");
}

// Without a link there is nothing to encode, so no code is shown.
void KXPromoteCell::showQRCode() {
    const std::string* url = link();
    auto window = keyWindow();
    if (!url || !window) return;
    auto overlay = make<KXerweiMaFenXiangView>(CGRect{{0, 0}, {screenWidth(), screenHeight()}});
    overlay->setUrlStr(*url);
    window->addSubview(overlay);
}
