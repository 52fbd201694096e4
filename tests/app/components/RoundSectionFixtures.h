#pragma once

#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "app/components/RSCollectionViewDelegateRoundFlowLayout_Swift.h"
#include "app/components/RSCollectionViewRoundFlowLayout_Swift.h"
#include "tests/support/AppFixture.h"
#include "tests/support/FlowLayoutAnswers.h"
#include "uikit/UICollectionView.h"
#include "uikit/UICollectionViewCell.h"
#include "uikit/UIDriver.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

// A screen's data source for the rounded-section layout, answering what a
// test sets: item counts and sizes, per-section insets, header and footer
// sizes, border insets, plate models and the optional yes/no questions (an
// unset entry leaves the question unanswered, so the layout's property
// applies). It records the plate models it hands out and the plate taps.
class RoundSectionSource : public NSObject,
                           public UICollectionViewDataSource,
                           public FlowLayoutAnswers<RSCollectionViewDelegateRoundFlowLayout_Swift> {
public:
    std::vector<long> counts{0};
    std::map<long, UIEdgeInsets> borderInsets;
    std::map<long, bool> countsHeader;
    std::map<long, bool> countsFooter;
    std::map<long, bool> countsWhenEmpty;
    std::map<long, Ref<RSCollectionViewRoundConfigModel_Swift>> models;

    int modelRequests = 0;
    std::vector<NSIndexPath> tappedPlates;

    long numberOfSectionsInCollectionView(const Ref<UICollectionView>&) override {
        return static_cast<long>(counts.size());
    }
    long collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, long section) override {
        return counts.at(static_cast<std::size_t>(section));
    }
    Ref<UICollectionViewCell> collectionViewCellForItemAtIndexPath(const Ref<UICollectionView>& view,
                                                                   const NSIndexPath& indexPath) override {
        auto cell = view->dequeueReusableCellWithReuseIdentifier("cell", indexPath);
        cell->setBackgroundColor(UIColor::colorWithRed(0.35, 0.47, 1, 1));
        return cell;
    }
    Ref<UICollectionReusableView> collectionViewViewForSupplementaryElementOfKindAtIndexPath(
        const Ref<UICollectionView>& view, const std::string& kind, const NSIndexPath& indexPath) override {
        auto header = view->dequeueReusableSupplementaryViewOfKind(kind, "header", indexPath);
        header->setBackgroundColor(UIColor::colorWithWhite(0.85, 1));
        return header;
    }

    Ref<RSCollectionViewRoundConfigModel_Swift> collectionViewLayoutConfigModelForSectionAtIndex(
        const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long section) override {
        ++modelRequests;
        auto& model = models[section];
        if (!model) model = make<RSCollectionViewRoundConfigModel_Swift>();
        return model;
    }
    std::optional<UIEdgeInsets> collectionViewLayoutBorderEdgeInsertsForSectionAtIndex(
        const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long section) override {
        return lookup(borderInsets, section);
    }
    std::optional<bool> collectionViewWithCollectionViewLayoutIsCalculateHeaderViewIndex(
        const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long section) override {
        return lookup(countsHeader, section);
    }
    std::optional<bool> collectionViewWithCollectionViewLayoutIsCalculateFooterViewIndex(
        const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long section) override {
        return lookup(countsFooter, section);
    }
    std::optional<bool> collectionViewWithCollectionViewLayoutIsCanCalculateWhenRowEmptyWithSection(
        const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long section) override {
        return lookup(countsWhenEmpty, section);
    }
    void collectionViewWithCollectionViewDidSelectDecorationViewAtIndexPath(const Ref<UICollectionView>&,
                                                                            const NSIndexPath& indexPath) override {
        tappedPlates.push_back(indexPath);
    }

};

// A rounded-section collection view of 375 x 600 points on screen in the key
// window, with its source as data source and delegate.
class RoundSectionTest : public AppFixture {
protected:
    RoundSectionTest() {
        layout->setMinimumLineSpacing(0);
        layout->setMinimumInteritemSpacing(0);
        view = make<UICollectionView>(CGRectMake(0, 0, 375, 600), layout);
        view->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::Never);
        view->registerClass<UICollectionViewCell>("cell");
        view->registerClass<UICollectionReusableView>(UICollectionElementKindSectionHeader, "header");
        view->registerClass<UICollectionReusableView>(UICollectionElementKindSectionFooter, "header");
        view->setDataSource(source);
        view->setDelegate(source);
        window = make<UIWindow>();
        window->setRootViewController(make<UIViewController>());
        window->makeKeyAndVisible();
        window->rootViewController()->view()->addSubview(view);
    }

    // Lays the collection out again from scratch.
    void layOut() {
        view->reloadData();
        driver.settle();
    }
    CGRect plateFrame(std::size_t index) const { return layout->decorationViewAttrs().at(index)->frame(); }
    CGRect itemFrame(long item, long section = 0) const {
        return layout->layoutAttributesForItemAtIndexPath(NSIndexPath::indexPathForItem(item, section))->frame();
    }
    CGRect headerFrame(long section) const {
        return layout
            ->layoutAttributesForSupplementaryViewOfKind(UICollectionElementKindSectionHeader,
                                                         NSIndexPath::indexPathForItem(0, section))
            ->frame();
    }

    Ref<RSCollectionViewRoundFlowLayout_Swift> layout = make<RSCollectionViewRoundFlowLayout_Swift>();
    Ref<RoundSectionSource> source = make<RoundSectionSource>();
    Ref<UICollectionView> view;
    Ref<UIWindow> window;
    UIDriver driver;
};
