#include "app/stats/KXOpenServiceGameCell.h"

#include "app/shell/KXLabel.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "foundation/NSURL.h"
#include "app/stats/KXStatsList.h"
#include "frameworks/constraints/ConstraintViewDSL.h"
#include "frameworks/webimage/UIImageViewWebCache.h"
#include "uikit/UICollectionViewFlowLayout.h"

namespace {

// Text and background of the three tags.
constexpr std::array<std::pair<const char*, const char*>, 3> kTagColours = {
    std::pair{"#F87706", "#FFEDDE"}, std::pair{"#EBAE38", "#FFF4DE"}, std::pair{"#FF5D5D", "#FFECEC"}};
constexpr CGFloat kTagHeight = 12;
constexpr CGFloat kTagPadding = 4;

}  // namespace

void KXOpenServiceGameCell::didCreate() {
    UITableViewCell::didCreate();
    setUpViews();
    setUpConstraints();
}

void KXOpenServiceGameCell::setUpViews() {
    const CGFloat s = layoutScale();
    bgView_ = KXStatsList::addCard(self<KXOpenServiceGameCell>());

    gameImageView_ = KXStatsList::gameIconView("gameImageView");
    bgView_->addSubview(gameImageView_);
    nameLabel_ = KXLabel::boldLabel("", "#444444", 14 * s);
    nameLabel_->setAccessibilityIdentifier("nameLabel");
    nameLabel_->setContentCompressionResistancePriority(UILayoutPriorityRequired, UILayoutConstraintAxis::Horizontal);
    bgView_->addSubview(nameLabel_);
    serviceLabel_ = KXLabel::systemLabel("", "#5879FF", 12 * s);
    serviceLabel_->setAccessibilityIdentifier("serviceLabel");
    serviceLabel_->setTextAlignment(NSTextAlignment::Right);
    bgView_->addSubview(serviceLabel_);
    starIamgeView_ = make<UIImageView>(UIImage::imageNamed("starImage"));
    starIamgeView_->setAccessibilityIdentifier("starIamgeView");
    bgView_->addSubview(starIamgeView_);
    scoreLabel_ = KXLabel::boldLabel("9.9", "#444444", 10 * s);
    scoreLabel_->setAccessibilityIdentifier("scoreLabel");
    bgView_->addSubview(scoreLabel_);
    typeLabel_ = KXLabel::systemLabel("类型", "#888888", 10 * s);
    typeLabel_->setAccessibilityIdentifier("typeLabel");
    bgView_->addSubview(typeLabel_);
    for (std::size_t i = 0; i < tagLabels_.size(); ++i) {
        auto tag = KXLabel::systemLabel("标签", kTagColours[i].first, 8 * s);
        tag->setBackgroundColor(hex(kTagColours[i].second));
        tag->setTextAlignment(NSTextAlignment::Center);
        tag->layer()->setCornerRadius(2 * s);
        tag->setClipsToBounds(true);
        bgView_->addSubview(tag);
        tagLabels_[i] = tag;
    }
    tagLabels_[0]->setAccessibilityIdentifier("tagOneLabel");
    tagLabels_[1]->setAccessibilityIdentifier("tagTwoLabel");
    tagLabels_[2]->setAccessibilityIdentifier("tagThreeLabel");

    auto layout = make<UICollectionViewFlowLayout>();
    layout->setScrollDirection(UICollectionViewScrollDirection::Horizontal);
    layout->setMinimumLineSpacing(6 * s);
    layout->setMinimumInteritemSpacing(0);
    collectionView_ = make<UICollectionView>(CGRectZero, layout);
    collectionView_->setAccessibilityIdentifier("collectionView");
    collectionView_->setDelegate(collectionProtocol_);
    collectionView_->setDataSource(collectionProtocol_);
    collectionView_->setShowsHorizontalScrollIndicator(false);
    collectionView_->setShowsVerticalScrollIndicator(false);
    collectionView_->setBackgroundColor(UIColor::whiteColor());
    collectionView_->registerClass<KXOpenServiceInfoImageCell>("KXOpenServiceInfoImageCell");
    bgView_->addSubview(collectionView_);
}

void KXOpenServiceGameCell::setUpConstraints() {
    const CGFloat s = layoutScale();
    snp(gameImageView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.top.equalToSuperview().offset(20 * s);
        make.width.height.equalTo(52 * s);
    });
    snp(nameLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(gameImageView_).right).offset(6 * s);
        make.top.equalTo(snp(gameImageView_).top).offset(3 * s);
    });
    snp(serviceLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.top.equalToSuperview().offset(23 * s);
        make.left.equalTo(snp(nameLabel_).right).offset(2 * s);
        make.right.equalToSuperview().offset(-19 * s);
    });
    snp(starIamgeView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(nameLabel_).left);
        make.top.equalTo(snp(nameLabel_).bottom).offset(6 * s);
        make.width.height.equalTo(8 * s);
    });
    snp(scoreLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.centerY.equalTo(starIamgeView_);
        make.left.equalTo(snp(starIamgeView_).right).offset(2 * s);
    });
    snp(typeLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.centerY.equalTo(starIamgeView_);
        make.left.equalTo(snp(scoreLabel_).right).offset(2 * s);
    });
    snp(tagLabels_[0]).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(gameImageView_).right).offset(5 * s);
        make.bottom.equalTo(snp(gameImageView_).bottom);
        make.height.equalTo(kTagHeight * s);
        make.width.equalTo(0);
    });
    for (std::size_t i = 1; i < tagLabels_.size(); ++i) {
        snp(tagLabels_[i]).makeConstraints([&](ConstraintMaker& make) {
            make.left.equalTo(snp(tagLabels_[i - 1]).right).offset(4 * s);
            make.height.equalTo(tagLabels_[0]);
            make.centerY.equalTo(tagLabels_[0]);
            make.width.equalTo(0);
        });
    }
    snp(collectionView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.right.equalToSuperview();
        make.top.equalTo(snp(gameImageView_).bottom).offset(10 * s);
        // Below required: the cell is first laid out at a height of its own
        // before the table sizes it to fit.
        make.height.equalTo(136 * s).priority(999);
        make.bottom.equalToSuperview().offset(-20 * s);
    });
}

void KXOpenServiceGameCell::setModel(Ref<KXOpenServiceModel> model) {
    model_ = std::move(model);
    UIImageViewWebCache::sd_setImageWithURL(gameImageView_, model_ ? NSURL::URLWithString(model_->icon) : nullptr);
    nameLabel_->setText(model_ ? model_->gname : std::string());
    serviceLabel_->setText(model_ ? model_->time + model_->server_name : std::string());
    scoreLabel_->setText(model_ ? model_->point : std::string());
    typeLabel_->setText(model_ ? model_->type : std::string());
    showTags(model_ ? model_->biaoqian : std::vector<std::string>{});
    collectionProtocol_->images = model_ ? model_->imgs : std::vector<std::string>{};
    collectionView_->reloadData();
}

// One to three tags show, each as wide as its text with a little room;
// none for more.
void KXOpenServiceGameCell::showTags(const std::vector<std::string>& tags) {
    const CGFloat s = layoutScale();
    const std::size_t shown = tags.size() <= tagLabels_.size() ? tags.size() : 0;
    for (std::size_t i = 0; i < tagLabels_.size(); ++i) {
        auto tag = tagLabels_[i];
        tag->setHidden(i >= shown);
        if (i >= shown) continue;
        tag->setText(tags[i]);
        const CGFloat width = tag->sizeThatFits({10000, kTagHeight * s}).width + 2 * kTagPadding * s;
        snp(tag).updateConstraints([&](ConstraintMaker& make) { make.width.equalTo(width); });
    }
}

void KXOpenServiceInfoImageCell::didCreate() {
    UICollectionViewCell::didCreate();
    imageView_ = KXStatsList::gameIconView("imageView");
    contentView()->addSubview(imageView_);
    snp(imageView_).makeConstraints([&](ConstraintMaker& make) { make.edges.equalToSuperview(); });
}

void KXOpenServiceGameHeader::didCreate() {
    UICollectionReusableView::didCreate();
    const CGFloat s = layoutScale();
    gameImageView_ = KXStatsList::gameIconView("gameImageView");
    gameImageView_->setFrame({40 * s, 30 * s, 52 * s, 52 * s});
    addSubview(gameImageView_);
}
