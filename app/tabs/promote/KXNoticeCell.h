#pragma once

#include "frameworks/pager/FSPagerView.h"
#include "uikit/UILabel.h"

// One line of a notice ticker: the notice's title ("#5879FF", 10 points
// times the layout scale, as many lines as it needs) filling the page.
class KXNoticeCell : public FSPagerViewCell {
public:
    using FSPagerViewCell::FSPagerViewCell;

    static constexpr const char* kReuseIdentifier = "KXNoticeCell";

    Ref<UILabel> titleLabel() const { return titleLabel_; }

    // A notice ticker as the Promote header and the Mine notice row use it:
    // infinite, vertical, sliding every 3 seconds, a single notice standing
    // alone, pages of this class under "KXNoticeCell"; `owner` answers its
    // pages and hears its taps.
    template <class Owner> static Ref<FSPagerView> makeTicker(const Ref<Owner>& owner) {
        auto ticker = make<FSPagerView>();
        ticker->setDataSource(owner);
        ticker->setDelegate(owner);
        configureTicker(ticker);
        return ticker;
    }

    std::string className() const override { return "KXNoticeCell"; }

protected:
    void didCreate() override;

private:
    static void configureTicker(const Ref<FSPagerView>& ticker);

    Ref<UILabel> titleLabel_;
};
