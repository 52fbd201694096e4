#include "app/tabs/promote/KXPromoteTopView.h"

#include "app/components/KXSearchBox.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "app/tabs/promote/KXNoticeCell.h"
#include "frameworks/constraints/ConstraintViewDSL.h"

namespace {

struct ShortcutLook {
    const char* name;
    const char* title;
    // The gap to the previous icon (the first: to the card's left edge).
    CGFloat gap;
    void (KXPromoteTopView::*click)(const Ref<UIControl>&);
};

const ShortcutLook kShortcutLooks[] = {
    {"promoteNotice", "推广公告", 25, &KXPromoteTopView::promoteNoticeButtonClicked},
    {"promoteQRCode", "推广二维码", 51, &KXPromoteTopView::promoteQRCodeButtonClicked},
    {"divideDetail", "分成明细", 49, &KXPromoteTopView::divideDetailButtonClicked},
    {"popularity", "人气榜", 50, &KXPromoteTopView::popularityButtonClicked},
};

}  // namespace

void KXPromoteTopView::didCreate() {
    UIView::didCreate();
    setUpViews();
    setUpConstraints();
}

void KXPromoteTopView::setUpViews() {
    const CGFloat s = layoutScale();
    setBackgroundColor(hex("#F5F5F5"));

    searchBgView_ = KXSearchBox::makeBackground(1 * s);
    addSubview(searchBgView_);
    searchLogoImage_ = KXSearchBox::makeLogo();
    searchBgView_->addSubview(searchLogoImage_);
    searchLabel_ = KXLabel::systemLabel("搜索游戏", "#AAAAAA", 14 * s);
    searchLabel_->setAccessibilityIdentifier("searchLabel");
    searchBgView_->addSubview(searchLabel_);
    searchButton_ = UIButton::buttonWithType(UIButtonType::Custom);
    searchButton_->setAccessibilityIdentifier("searchButton");
    searchButton_->addTarget(self<KXPromoteTopView>(), &KXPromoteTopView::searchButtonClicked,
                             UIControlEventTouchUpInside);
    // Over the bar but beside it in the header, so that its larger touch
    // area reaches into the gaps above and below the bar: inside the bar,
    // which it fills, the bar's edges would cut it off.
    addSubview(searchButton_);

    bgView_ = make<UIView>();
    bgView_->setAccessibilityIdentifier("bgView");
    bgView_->setBackgroundColor(UIColor::whiteColor());
    bgView_->layer()->setCornerRadius(12 * s);
    bgView_->setClipsToBounds(true);
    addSubview(bgView_);
    for (std::size_t index = 0; index < shortcuts_.size(); ++index) {
        const ShortcutLook& look = kShortcutLooks[index];
        KXIconColumn& column = shortcuts_[index];
        column = KXIconColumn::make(bgView_, look.name, look.name, KXLabel::boldLabel(look.title, "#333333", 14 * s));
        column.button->addTarget(self<KXPromoteTopView>(), look.click, UIControlEventTouchUpInside);
    }

    bottomView_ = make<UIView>();
    bottomView_->setAccessibilityIdentifier("bottomView");
    bottomView_->setBackgroundColor(hex("#DEE4FF"));
    bgView_->addSubview(bottomView_);
    noticeImageView_ = make<UIImageView>(UIImage::imageNamed("hornPromote"));
    noticeImageView_->setAccessibilityIdentifier("noticeImageView");
    bottomView_->addSubview(noticeImageView_);
    titleBanner_ = KXNoticeCell::makeTicker(self<KXPromoteTopView>());
    titleBanner_->setAccessibilityIdentifier("titleBanner");
    bottomView_->addSubview(titleBanner_);
}

void KXPromoteTopView::setUpConstraints() {
    const CGFloat s = layoutScale();
    snp(searchBgView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalToSuperview().offset(20 * s);
        make.right.equalToSuperview().offset(-20 * s);
        make.top.equalToSuperview().offset(10 * s);
        make.height.equalTo(36 * s);
    });
    KXSearchBox::layOut(searchLogoImage_, searchLabel_, false);
    auto bar = searchBgView_;
    snp(searchButton_).makeConstraints([&](ConstraintMaker& make) { make.edges.equalTo(bar); });
    snp(bgView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalToSuperview().offset(20 * s);
        make.right.equalToSuperview().offset(-20 * s);
        make.top.equalTo(snp(searchBgView_).bottom).offset(10 * s);
        make.height.equalTo(126 * s);
    });
    Ref<UIView> firstIcon, previousIcon;
    for (std::size_t index = 0; index < shortcuts_.size(); ++index) {
        const KXIconColumn& column = shortcuts_[index];
        const CGFloat gap = kShortcutLooks[index].gap * s;
        snp(column.imageView).makeConstraints([&](ConstraintMaker& make) {
            if (previousIcon) {
                make.left.equalTo(snp(previousIcon).right).offset(gap);
                make.centerY.equalTo(snp(firstIcon).centerY);
            } else {
                make.left.equalToSuperview().offset(gap);
                make.top.equalToSuperview().offset(20 * s);
            }
            make.width.height.equalTo(34 * s);
        });
        column.constrainCaptionAndButton(9 * s);
        if (!firstIcon) firstIcon = column.imageView;
        previousIcon = column.imageView;
    }
    snp(bottomView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.right.bottom.equalToSuperview();
        make.height.equalTo(26 * s);
    });
    snp(noticeImageView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalToSuperview().offset(20 * s);
        make.centerY.equalToSuperview();
        make.width.height.equalTo(10 * s);
    });
    snp(titleBanner_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(noticeImageView_).right).offset(4 * s);
        make.right.equalToSuperview().offset(-10 * s);
        make.height.equalTo(26 * s);
        make.centerY.equalToSuperview();
    });
}

Ref<KXNoticeModel> KXPromoteTopView::modelAt(long index) const {
    if (!models_ || index < 0 || index >= static_cast<long>(models_->size())) return nullptr;
    return (*models_)[static_cast<std::size_t>(index)];
}

long KXPromoteTopView::numberOfItemsInPagerView(const Ref<FSPagerView>&) {
    return models_ ? static_cast<long>(models_->size()) : 0;
}

Ref<FSPagerViewCell> KXPromoteTopView::pagerViewCellForItemAtIndex(const Ref<FSPagerView>& pagerView, long index) {
    auto cell = cast<KXNoticeCell>(pagerView->dequeueReusableCell(KXNoticeCell::kReuseIdentifier, index));
    if (!cell) return nullptr;
    auto notice = modelAt(index);
    cell->titleLabel()->setText(notice ? notice->title : std::string());
    return cell;
}

void KXPromoteTopView::pagerViewDidSelectItemAtIndex(const Ref<FSPagerView>&, long index) {
    if (!didClickBanner) return;
    auto notice = models_ ? modelAt(index) : make<KXNoticeModel>();
    if (notice) didClickBanner(notice);
}
