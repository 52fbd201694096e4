#include "app/tabs/mine/KXMineNoticeCell.h"

#include "app/shell/KXUniversal.h"
#include "app/tabs/promote/KXNoticeCell.h"
#include "frameworks/constraints/ConstraintViewDSL.h"

void KXMineNoticeCell::didCreate() {
    UICollectionViewCell::didCreate();
    const CGFloat s = layoutScale();
    imageView_ = make<UIImageView>(UIImage::imageNamed("hornPromote"));
    contentView()->addSubview(imageView_);
    titleBanner_ = KXNoticeCell::makeTicker(self<KXMineNoticeCell>());
    contentView()->addSubview(titleBanner_);

    snp(imageView_).makeConstraints([s](ConstraintMaker& make) {
        make.left.equalTo(20 * s);
        make.centerY.equalToSuperview();
        make.width.height.equalTo(10 * s);
    });
    auto icon = imageView_;
    snp(titleBanner_).makeConstraints([s, icon](ConstraintMaker& make) {
        make.left.equalTo(snp(icon).right).offset(4 * s);
        make.right.equalTo(-10 * s);
        make.height.equalTo(26 * s);
        make.centerY.equalToSuperview();
    });
}

Ref<KXMineNewsModel> KXMineNoticeCell::modelAt(long index) const {
    if (!models_ || index < 0 || static_cast<std::size_t>(index) >= models_->size()) return nullptr;
    return (*models_)[static_cast<std::size_t>(index)];
}

long KXMineNoticeCell::numberOfItemsInPagerView(const Ref<FSPagerView>&) {
    return models_ ? static_cast<long>(models_->size()) : 0;
}

Ref<FSPagerViewCell> KXMineNoticeCell::pagerViewCellForItemAtIndex(const Ref<FSPagerView>& pagerView, long index) {
    auto cell = cast<KXNoticeCell>(pagerView->dequeueReusableCell(KXNoticeCell::kReuseIdentifier, index));
    if (!cell) return nullptr;
    auto notice = modelAt(index);
    cell->titleLabel()->setText(notice ? notice->title : std::string());
    return cell;
}

void KXMineNoticeCell::pagerViewDidSelectItemAtIndex(const Ref<FSPagerView>&, long index) {
    if (!didClickNotice) return;
    auto notice = models_ ? modelAt(index) : make<KXMineNewsModel>();
    if (notice) didClickNotice(notice);
}
