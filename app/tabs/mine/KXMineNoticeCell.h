#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "app/tabs/mine/KXMineNewsModel.h"
#include "foundation/StoredBlock.h"
#include "frameworks/pager/FSPagerView.h"
#include "uikit/UICollectionViewCell.h"
#include "uikit/UIImageView.h"

// The Mine tab's notice row: a horn icon and a notice ticker over the
// notices of the Mine answer. The owner sets `models`, then reloads
// `titleBanner`, so that the ticker never asks for an index of an older,
// longer list; a tap on a line raises `didClickNotice` with its notice.
class KXMineNoticeCell : public UICollectionViewCell, public FSPagerViewDataSource, public FSPagerViewDelegate {
public:
    using UICollectionViewCell::UICollectionViewCell;

    Ref<UIImageView> imageView() const { return imageView_; }
    Ref<FSPagerView> titleBanner() const { return titleBanner_; }
    // Nothing until the owner has an answer.
    const std::optional<std::vector<Ref<KXMineNewsModel>>>& models() const { return models_; }
    void setModels(std::optional<std::vector<Ref<KXMineNewsModel>>> models) { models_ = std::move(models); }
    StoredBlock<void(const Ref<KXMineNewsModel>&)> didClickNotice;

    long numberOfItemsInPagerView(const Ref<FSPagerView>& pagerView) override;
    Ref<FSPagerViewCell> pagerViewCellForItemAtIndex(const Ref<FSPagerView>& pagerView, long index) override;
    void pagerViewDidSelectItemAtIndex(const Ref<FSPagerView>& pagerView, long index) override;

    std::string className() const override { return "KXMineNoticeCell"; }

protected:
    void didCreate() override;

private:
    // The notice at the index; nothing outside the list.
    Ref<KXMineNewsModel> modelAt(long index) const;

    Ref<UIImageView> imageView_;
    Ref<FSPagerView> titleBanner_;
    std::optional<std::vector<Ref<KXMineNewsModel>>> models_;
};
