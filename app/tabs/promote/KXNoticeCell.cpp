#include "app/tabs/promote/KXNoticeCell.h"

#include "app/shell/KXLabel.h"
#include "app/shell/KXUniversal.h"
#include "frameworks/constraints/ConstraintViewDSL.h"

void KXNoticeCell::didCreate() {
    FSPagerViewCell::didCreate();
    titleLabel_ = KXLabel::systemLabel("", "#5879FF", 10 * layoutScale());
    addSubview(titleLabel_);
    snp(titleLabel_).makeConstraints([](ConstraintMaker& make) { make.edges.equalToSuperview(); });
}

void KXNoticeCell::configureTicker(const Ref<FSPagerView>& ticker) {
    ticker->setIsInfinite(true);
    ticker->registerClass<KXNoticeCell>(kReuseIdentifier);
    ticker->setAutomaticSlidingInterval(3.0);
    ticker->setRemovesInfiniteLoopForSingleItem(true);
    ticker->setScrollDirection(FSPagerViewScrollDirection::vertical);
}
