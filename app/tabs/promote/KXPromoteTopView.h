#pragma once

#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "app/shell/KXLabel.h"
#include "app/tabs/promote/KXIconColumn.h"
#include "app/tabs/promote/KXNoticeModel.h"
#include "foundation/StoredBlock.h"
#include "frameworks/pager/FSPagerView.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"

// The Promote tab's header (182 × layoutScale high): a rounded search bar,
// a white card of four shortcuts (推广公告, 推广二维码, 分成明细, 人气榜)
// and, along the card's foot, a one-line ticker of notice titles moving up
// every 3 seconds. Every tap goes out through the closure of the same
// name; an unset closure makes the tap do nothing. The owner sets
// `models`, then reloads `titleBanner`.
class KXPromoteTopView : public UIView, public FSPagerViewDataSource, public FSPagerViewDelegate {
public:
    using UIView::UIView;

    // The four shortcuts, left to right.
    enum Shortcut { PromoteNotice, PromoteQRCode, DivideDetail, Popularity };

    const Ref<UIView>& searchBgView() const { return searchBgView_; }
    const Ref<UIImageView>& searchLogoImage() const { return searchLogoImage_; }
    const Ref<KXLabel>& searchLabel() const { return searchLabel_; }
    const Ref<UIButton>& searchButton() const { return searchButton_; }
    const Ref<UIView>& bgView() const { return bgView_; }
    const Ref<UIImageView>& shortcutImageView(Shortcut shortcut) const { return shortcuts_[shortcut].imageView; }
    const Ref<KXLabel>& shortcutLabel(Shortcut shortcut) const { return shortcuts_[shortcut].label; }
    const Ref<UIButton>& shortcutButton(Shortcut shortcut) const { return shortcuts_[shortcut].button; }
    const Ref<UIView>& bottomView() const { return bottomView_; }
    const Ref<UIImageView>& noticeImageView() const { return noticeImageView_; }
    const Ref<FSPagerView>& titleBanner() const { return titleBanner_; }

    StoredBlock<void()> searchButtonClick;
    StoredBlock<void()> promoteNoticeButtonClick;
    StoredBlock<void()> promoteQRCodeButtonClick;
    StoredBlock<void()> divideDetailButtonClick;
    StoredBlock<void()> popularityButtonClick;
    StoredBlock<void(const Ref<KXNoticeModel>&)> didClickBanner;

    // Nothing until the owner has an answer.
    const std::optional<std::vector<Ref<KXNoticeModel>>>& models() const { return models_; }
    void setModels(std::optional<std::vector<Ref<KXNoticeModel>>> models) { models_ = std::move(models); }

    // The buttons' actions.
    void searchButtonClicked(const Ref<UIControl>&) { raise(searchButtonClick); }
    void promoteNoticeButtonClicked(const Ref<UIControl>&) { raise(promoteNoticeButtonClick); }
    void promoteQRCodeButtonClicked(const Ref<UIControl>&) { raise(promoteQRCodeButtonClick); }
    void divideDetailButtonClicked(const Ref<UIControl>&) { raise(divideDetailButtonClick); }
    void popularityButtonClicked(const Ref<UIControl>&) { raise(popularityButtonClick); }

    long numberOfItemsInPagerView(const Ref<FSPagerView>& pagerView) override;
    Ref<FSPagerViewCell> pagerViewCellForItemAtIndex(const Ref<FSPagerView>& pagerView, long index) override;
    void pagerViewDidSelectItemAtIndex(const Ref<FSPagerView>& pagerView, long index) override;

    std::string className() const override { return "KXPromoteTopView"; }

protected:
    void didCreate() override;

private:
    static void raise(const std::function<void()>& closure) {
        if (closure) closure();
    }
    void setUpViews();
    void setUpConstraints();
    Ref<KXNoticeModel> modelAt(long index) const;

    Ref<UIView> searchBgView_;
    Ref<UIImageView> searchLogoImage_;
    Ref<KXLabel> searchLabel_;
    Ref<UIButton> searchButton_;
    Ref<UIView> bgView_;
    std::array<KXIconColumn, 4> shortcuts_;
    Ref<UIView> bottomView_;
    Ref<UIImageView> noticeImageView_;
    Ref<FSPagerView> titleBanner_;
    std::optional<std::vector<Ref<KXNoticeModel>>> models_;
};
