#include "app/tabs/home/KXHomeDataCell.h"

#include "app/shell/KXLabel.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "foundation/NSString.h"
#include "frameworks/constraints/ConstraintViewDSL.h"

namespace {

// A rate of exactly this many characters ("12.34") takes the smaller font.
constexpr std::size_t kLongRateLength = 5;

// The look every tile shares: its colour, rounded corners and a soft shadow.
void styleTile(const Ref<UIView>& tile, const char* colour, const char* identifier) {
    const CGFloat s = layoutScale();
    tile->setAccessibilityIdentifier(identifier);
    tile->setBackgroundColor(hex(colour));
    auto layer = tile->layer();
    layer->setCornerRadius(12 * s);
    layer->setShadowColor(UIColorHex::colorWithHexString("#545454", 0.15));
    layer->setShadowOffset({0, 2 * s});
    layer->setShadowOpacity(1.0);
    layer->setShadowRadius(4 * s);
}

Ref<UIImageView> imageViewNamed(const char* image, const char* identifier) {
    auto view = make<UIImageView>(UIImage::imageNamed(image));
    view->setAccessibilityIdentifier(identifier);
    return view;
}

Ref<UILabel> whiteFigureLabel(const char* text, CGFloat points, const char* identifier) {
    auto label = KXLabel::boldLabel(text, "#FFFFFF", points * layoutScale());
    label->setAccessibilityIdentifier(identifier);
    return label;
}

// The parts of one tile: icon, title and figure, placed from the tile's
// top-left; the suffix (if any) follows the figure.
struct TileParts {
    Ref<UIView> tile;
    Ref<UIImageView> icon;
    Ref<UILabel> title;
    Ref<UILabel> figure;
    Ref<UILabel> suffix;
    CGFloat figureGap;
};

void constrainTileParts(const TileParts& parts) {
    const CGFloat s = layoutScale();
    snp(parts.icon).makeConstraints([&](ConstraintMaker& make) {
        make.width.height.equalTo(24 * s);
        make.left.top.equalToSuperview().offset(14 * s);
    });
    snp(parts.title).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(parts.icon).right).offset(6 * s);
        make.centerY.equalTo(parts.icon);
    });
    snp(parts.figure).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(parts.icon).left);
        make.top.equalTo(snp(parts.icon).bottom).offset(parts.figureGap * s);
    });
    if (!parts.suffix) return;
    snp(parts.suffix).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(parts.figure).right);
        make.top.equalTo(snp(parts.figure).top).offset(3 * s);
    });
}

// A decoration image along the bottom of its tile.
void constrainDecoration(const Ref<UIImageView>& decoration, CGFloat height) {
    snp(decoration).makeConstraints([&](ConstraintMaker& make) {
        make.left.right.bottom.equalToSuperview();
        make.height.equalTo(height * layoutScale());
    });
}

}  // namespace

void KXHomeDataCell::didCreate() {
    UICollectionViewCell::didCreate();
    setUpTiles();
    setUpRing();
    chartTitleLabel_ = KXLabel::boldLabel("游戏盒子下载量", "#333333", 16 * layoutScale());
    chartTitleLabel_->setAccessibilityIdentifier("chartTitleLabel");
    contentView()->addSubview(chartTitleLabel_);
    setUpChart();
    setUpConstraints();
}

void KXHomeDataCell::setUpTiles() {
    auto content = contentView();
    newUserBg_ = make<UIView>();
    styleTile(newUserBg_, "#FFC83E", "newUserBg");
    content->addSubview(newUserBg_);
    newUserBgImageView_ = imageViewNamed("addNewUserBg", "newUserBgImageView");
    newUserImageView_ = imageViewNamed("addNewUser", "newUserImageView");
    newUserTitleLabel_ = whiteFigureLabel("新增用户", 14, "newUserTitleLabel");
    newUserLabel_ = whiteFigureLabel("12434", 34, "newUserLabel");
    newUserSub_ = whiteFigureLabel("+", 14, "newUserSub");
    for (const Ref<UIView>& part : std::initializer_list<Ref<UIView>>{
             newUserBgImageView_, newUserImageView_, newUserTitleLabel_, newUserLabel_, newUserSub_})
        newUserBg_->addSubview(part);

    conversionRateBg_ = make<UIImageView>();
    styleTile(conversionRateBg_, "#5879FF", "conversionRateBg");
    content->addSubview(conversionRateBg_);
    conversionRateImageView_ = imageViewNamed("conversionRate", "conversionRateImageView");
    conversionRateBg_->addSubview(conversionRateImageView_);

    payNumBg_ = make<UIImageView>();
    styleTile(payNumBg_, "#18AC67", "payNumBg");
    content->addSubview(payNumBg_);
    payNumImageView_ = imageViewNamed("payNumUser", "payNumImageView");
    payNumTitleLabel_ = whiteFigureLabel("付费人数", 14, "payNumTitleLabel");
    payNumLabel_ = whiteFigureLabel("12434", 34, "payNumLabel");
    payNumSub_ = whiteFigureLabel("+", 14, "payNumSub");
    for (const Ref<UIView>& part :
         std::initializer_list<Ref<UIView>>{payNumImageView_, payNumTitleLabel_, payNumLabel_, payNumSub_})
        payNumBg_->addSubview(part);

    payPriceBg_ = make<UIView>();
    styleTile(payPriceBg_, "#FF7D58", "payPriceBg");
    content->addSubview(payPriceBg_);
    payPriceBgImageView_ = imageViewNamed("payPriceBg", "payPriceBgImageView");
    payPriceImageView_ = imageViewNamed("payPriceImage", "payPriceImageView");
    payPriceTitleLabel_ = whiteFigureLabel("充值金额", 14, "payPriceTitleLabel");
    payPriceLabel_ = whiteFigureLabel("12434", 34, "payPriceLabel");
    for (const Ref<UIView>& part : std::initializer_list<Ref<UIView>>{
             payPriceBgImageView_, payPriceImageView_, payPriceTitleLabel_, payPriceLabel_})
        payPriceBg_->addSubview(part);
}

// The conversion ring in tile 2: a 0-100 scale, the rate as a filled arc
// over a darker track, no disk and no thumb; it only shows.
void KXHomeDataCell::setUpRing() {
    const CGFloat s = layoutScale();
    circularSlider_ = make<CircularSlider>();
    circularSlider_->setAccessibilityIdentifier("circularSlider");
    circularSlider_->setBackgroundColor(UIColor::clearColor());
    circularSlider_->setUserInteractionEnabled(false);
    circularSlider_->setMinimumValue(0);
    circularSlider_->setMaximumValue(100);
    circularSlider_->setDiskColor(UIColor::clearColor());
    circularSlider_->setTrackColor(hex("#4D6BE2"));
    circularSlider_->setTrackFillColor(hex("#FFC83E"));
    circularSlider_->setLineWidth(6 * s);
    circularSlider_->setBacktrackLineWidth(6 * s);
    circularSlider_->setThumbLineWidth(0);
    circularSlider_->setThumbRadius(0);
    conversionRateBg_->addSubview(circularSlider_);

    conversionRateTitleLabel_ = whiteFigureLabel("付费转化率", 14, "conversionRateTitleLabel");
    conversionRateLabel_ = whiteFigureLabel("8.6", 34, "conversionRateLabel");
    conversionRatePercent_ = whiteFigureLabel("%", 14, "conversionRatePercent");
    for (const Ref<UIView>& part : std::initializer_list<Ref<UIView>>{
             conversionRateTitleLabel_, conversionRateLabel_, conversionRatePercent_})
        conversionRateBg_->addSubview(part);
}

void KXHomeDataCell::setUpConstraints() {
    const CGFloat s = layoutScale();
    snp(newUserBg_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalToSuperview().offset(20 * s);
        make.top.equalToSuperview().offset(8 * s);
        make.width.equalTo(161 * s);
        make.height.equalTo(152 * s);
    });
    snp(conversionRateBg_).makeConstraints([&](ConstraintMaker& make) {
        make.right.equalToSuperview().inset(20 * s);
        make.top.equalTo(snp(newUserBg_).top);
        make.width.equalTo(161 * s);
        make.height.equalTo(94 * s);
    });
    snp(payNumBg_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalToSuperview().offset(20 * s);
        make.top.equalTo(snp(newUserBg_).bottom).offset(12 * s);
        make.width.equalTo(161 * s);
        make.height.equalTo(94 * s);
    });
    snp(payPriceBg_).makeConstraints([&](ConstraintMaker& make) {
        make.right.equalToSuperview().inset(20 * s);
        make.top.equalTo(snp(conversionRateBg_).bottom).offset(12 * s);
        make.width.equalTo(161 * s);
        make.height.equalTo(152 * s);
    });
    constrainDecoration(newUserBgImageView_, 53);
    constrainDecoration(payPriceBgImageView_, 73);

    constrainTileParts({newUserBg_, newUserImageView_, newUserTitleLabel_, newUserLabel_, newUserSub_, 13});
    constrainTileParts({conversionRateBg_, conversionRateImageView_, conversionRateTitleLabel_, conversionRateLabel_,
                        conversionRatePercent_, 7});
    constrainTileParts({payNumBg_, payNumImageView_, payNumTitleLabel_, payNumLabel_, payNumSub_, 6});
    constrainTileParts({payPriceBg_, payPriceImageView_, payPriceTitleLabel_, payPriceLabel_, nullptr, 7});
    snp(payPriceLabel_).makeConstraints(
        [&](ConstraintMaker& make) { make.right.equalToSuperview().inset(14 * s); });

    snp(circularSlider_).makeConstraints([&](ConstraintMaker& make) {
        make.width.height.equalTo(40 * s);
        make.right.equalToSuperview().inset(20 * s);
        make.centerY.equalTo(conversionRateLabel_);
    });
    snp(chartTitleLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.centerX.equalToSuperview();
        make.top.equalTo(snp(payPriceBg_).bottom).offset(13 * s);
    });
    snp(chartView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalToSuperview().offset(20 * s);
        make.right.equalToSuperview().inset(20 * s);
        make.top.equalTo(snp(chartTitleLabel_).bottom).offset(20 * s);
        make.bottom.equalToSuperview().inset(10 * s);
    });
}

void KXHomeDataCell::setModel(Ref<KXHomeModel> model) {
    model_ = std::move(model);
    showFigures();
    showDownloads();
}

void KXHomeDataCell::showFigures() {
    const Ref<KXHomeDataModel> figures = model_ ? model_->shuju : nullptr;
    newUserLabel_->setText(figures ? figures->reg : std::string());
    const std::string rate = figures ? figures->fufeilv : std::string();
    conversionRateLabel_->setText(rate);
    const bool longRate = figures && NSString::length(rate) == kLongRateLength;
    conversionRateLabel_->setFont(UIFont::boldSystemFontOfSize((longRate ? 25 : 34) * layoutScale()));
    payNumLabel_->setText(figures ? figures->pay : std::string());
    payPriceLabel_->setText(figures ? figures->money : std::string());
    // Only a rate written wholly as a decimal number fills the ring.
    circularSlider_->setEndPointValue(figures ? NSString::strictDouble(rate).value_or(0) : 0);
}
