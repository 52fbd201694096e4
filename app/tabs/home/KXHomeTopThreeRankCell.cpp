#include "app/tabs/home/KXHomeTopThreeRankCell.h"

#include <array>

#include "app/shell/KXLabel.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "frameworks/constraints/ConstraintViewDSL.h"

namespace {

struct PlaceLook {
    const char* tag;
    const char* medal;
    const char* ribbon;
    const char* nameColor;
};

constexpr std::array<PlaceLook, 3> kPlaceLooks{{
    {"num_first", "goldMedal", "goldLabelBg", "#FFBC2E"},
    {"num_second", "silverMedal", "silverLabelBg", "#A3A3A3"},
    {"num_three", "bronzeMedal", "bronzeLabelBg", "#D98A21"},
}};

Ref<UIImageView> namedImageView(const char* identifier) {
    auto view = make<UIImageView>();
    view->setAccessibilityIdentifier(identifier);
    return view;
}

}  // namespace

void KXHomeTopThreeRankCell::didCreate() {
    UICollectionViewCell::didCreate();
    setUpViews();
    setUpConstraints();
}

void KXHomeTopThreeRankCell::setUpViews() {
    const CGFloat s = layoutScale();
    bgView_ = make<UIView>();
    bgView_->setAccessibilityIdentifier("bgView");
    bgView_->setBackgroundColor(UIColor::whiteColor());
    auto card = bgView_->layer();
    card->setCornerRadius(12 * s);
    card->setShadowColor(UIColorHex::colorWithHexString("#C4C4C4", 0.1));
    card->setShadowOffset({0, -8});
    card->setShadowRadius(9 * s);
    card->setShadowOpacity(1.0);
    contentView()->addSubview(bgView_);

    tagImageView_ = namedImageView("tagImageView");
    bgView_->addSubview(tagImageView_);
    logoImageView_ = namedImageView("logoImageView");
    bgView_->addSubview(logoImageView_);
    labelBgImageView_ = namedImageView("labelBgImageView");
    bgView_->addSubview(labelBgImageView_);

    nameLabel_ = KXLabel::boldLabel("推广员", "#FFBC2E", 12 * s);
    nameLabel_->setAccessibilityIdentifier("nameLabel");
    nameLabel_->setTextAlignment(NSTextAlignment::Center);
    labelBgImageView_->addSubview(nameLabel_);

    // The caption keeps the same size on every screen width.
    lowUserLabel_ = KXLabel::systemLabel("下级用户", "#888888", 12);
    lowUserLabel_->setAccessibilityIdentifier("lowUserLabel");
    bgView_->addSubview(lowUserLabel_);

    lowUserNumLabel_ = KXLabel::boldLabel("1234", "#333333", 14 * s);
    lowUserNumLabel_->setAccessibilityIdentifier("lowUserNumLabel");
    bgView_->addSubview(lowUserNumLabel_);
}

void KXHomeTopThreeRankCell::setUpConstraints() {
    const CGFloat s = layoutScale();
    snp(bgView_).makeConstraints([&](ConstraintMaker& make) { make.edges.equalToSuperview(); });
    snp(tagImageView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.top.equalToSuperview().offset(10 * s);
        make.width.height.equalTo(18 * s);
    });
    snp(logoImageView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalToSuperview().offset(25 * s);
        make.top.equalToSuperview().offset(34 * s);
        make.width.equalTo(60 * s);
        make.height.equalTo(43 * s);
    });
    snp(labelBgImageView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalToSuperview().offset(3 * s);
        make.right.equalToSuperview().offset(-3 * s);
        make.height.equalTo(22 * s);
        make.top.equalTo(snp(logoImageView_).bottom).offset(10 * s);
    });
    snp(nameLabel_).makeConstraints([&](ConstraintMaker& make) { make.edges.equalToSuperview(); });
    snp(lowUserLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.centerX.equalToSuperview();
        make.top.equalTo(snp(labelBgImageView_).bottom).offset(6 * s);
    });
    snp(lowUserNumLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.centerX.equalToSuperview();
        make.top.equalTo(snp(lowUserLabel_).bottom).offset(5 * s);
    });
}

void KXHomeTopThreeRankCell::setIndexPath(std::optional<IndexPath> indexPath) {
    indexPath_ = indexPath;
    if (!indexPath_ || indexPath_->row() < 0 || indexPath_->row() >= static_cast<long>(kPlaceLooks.size())) return;
    const PlaceLook& look = kPlaceLooks[static_cast<std::size_t>(indexPath_->row())];
    tagImageView_->setImage(UIImage::imageNamed(look.tag));
    logoImageView_->setImage(UIImage::imageNamed(look.medal));
    labelBgImageView_->setImage(UIImage::imageNamed(look.ribbon));
    nameLabel_->setTextColor(hex(look.nameColor));
}

void KXHomeTopThreeRankCell::setModel(Ref<KXHomeRankListModel> model) {
    model_ = std::move(model);
    nameLabel_->setText(model_ ? model_->name : std::string());
    lowUserNumLabel_->setText(model_ ? model_->num : std::string());
}

void KXHomeTopThreeRankCell::setPopularityListModel(Ref<KXRankListModel> model) {
    popularityListModel_ = std::move(model);
    const auto& entry = popularityListModel_;
    showGameEntry("活跃人数", entry ? entry->gname : std::string(), entry ? entry->count : std::string());
}

void KXHomeTopThreeRankCell::setConsumeRankModel(Ref<KXConsumeRankModel> model) {
    consumeRankModel_ = std::move(model);
    const auto& entry = consumeRankModel_;
    showGameEntry("充值", entry ? entry->gname : std::string(), entry ? entry->money : std::string());
}

void KXHomeTopThreeRankCell::showGameEntry(const std::string& caption, const std::string& name,
                                           const std::string& value) {
    lowUserLabel_->setText(caption);
    nameLabel_->setText(name);
    lowUserNumLabel_->setText(value);
}
