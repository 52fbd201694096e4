#include <gtest/gtest.h>

#include <algorithm>

#include "foundation/NSLog.h"
#include "tests/platform/uikit/CollectionViewFixtures.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIDriver.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

namespace {

// Attributes carrying a section's plate colour.
class PlateAttributes : public UICollectionViewLayoutAttributes {
public:
    UIColor color = UIColor::clearColor();
};

// The plate drawn behind a section: takes its colour from its attributes.
class PlateView : public UICollectionReusableView {
public:
    using UICollectionReusableView::UICollectionReusableView;
    static inline int made = 0;
    Ref<UICollectionViewLayoutAttributes> applied;

    void applyLayoutAttributes(const Ref<UICollectionViewLayoutAttributes>& attributes) override {
        UICollectionReusableView::applyLayoutAttributes(attributes);
        applied = attributes;
        if (auto plate = cast<PlateAttributes>(attributes)) setBackgroundColor(plate->color);
    }

protected:
    void didCreate() override {
        UICollectionReusableView::didCreate();
        ++made;
    }
};

// A flow layout that puts a plate behind every section with items, as a
// custom layout of the app does: prepare runs the base, then adds decoration
// attributes; the rect query adds them to the base's answer.
class SectionPlateLayout : public UICollectionViewFlowLayout {
public:
    static inline const std::string kind = "section.plate";
    std::vector<Ref<UICollectionViewLayoutAttributes>> plates;

    void prepareLayout() override {
        UICollectionViewFlowLayout::prepareLayout();
        registerClass<PlateView>(kind);
        plates.clear();
        auto view = collectionView();
        for (long section = 0; section < view->numberOfSections(); ++section) {
            long count = view->numberOfItemsInSection(section);
            if (count == 0) continue;
            CGRect first = layoutAttributesForItemAtIndexPath(NSIndexPath::indexPathForItem(0, section))->frame();
            CGRect last = layoutAttributesForItemAtIndexPath(NSIndexPath::indexPathForItem(count - 1, section))->frame();
            auto plate = UICollectionViewLayoutAttributes::layoutAttributesForDecorationViewOfKind<PlateAttributes>(
                kind, NSIndexPath::indexPathForItem(0, section));
            plate->setFrame(CGRectInset(CGRectUnion(first, last), -5, -5));
            plate->setZIndex(-1);
            plate->color = section == 0 ? UIColor::blueColor() : UIColor::redColor();
            plates.push_back(plate);
        }
    }
    std::vector<Ref<UICollectionViewLayoutAttributes>> layoutAttributesForElementsInRect(CGRect rect) override {
        auto found = UICollectionViewFlowLayout::layoutAttributesForElementsInRect(rect);
        found.insert(found.end(), plates.begin(), plates.end());
        return found;
    }
};

class CollectionViewTest : public AppFixture {
protected:
    // A 320 x 440 list of full-width, 44-point rows, on screen in the key window.
    CollectionSetup& showList(std::vector<long> counts, Ref<UICollectionViewFlowLayout> layout = nullptr) {
        setup.emplace(CGRectMake(0, 100, 320, 440), layout);
        setup->layout->setItemSize({320, 44});
        setup->layout->setMinimumLineSpacing(0);
        setup->source->counts = std::move(counts);
        setup->view->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::Never);
        window = make<UIWindow>();
        window->setRootViewController(make<UIViewController>());
        window->makeKeyAndVisible();
        window->rootViewController()->view()->addSubview(setup->view);
        driver.settle();
        return *setup;
    }

    static std::vector<long> visibleItems(const Ref<UICollectionView>& view) {
        std::vector<long> items;
        for (const auto& path : view->indexPathsForVisibleItems()) items.push_back(path.item());
        return items;
    }

    std::optional<CollectionSetup> setup;
    Ref<UIWindow> window;
    UIDriver driver;
};

TEST_F(CollectionViewTest, BuildsOnlyTheCellsInTheBoundsAtTheirFrames) {
    auto& list = showList({1000});
    EXPECT_EQ(list.view->contentSize(), CGSizeMake(320, 44000));
    EXPECT_EQ(visibleItems(list.view), (std::vector<long>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(CountedCell::made, 10);
    EXPECT_EQ(list.source->cellRequests, 10);

    auto cell = list.view->cellForItemAtIndexPath(NSIndexPath::indexPathForItem(3, 0));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->frame(), CGRectMake(0, 132, 320, 44));
    EXPECT_EQ(cell->superview(), list.view);
    EXPECT_EQ(cell->contentView()->frame(), CGRectMake(0, 0, 320, 44));
    EXPECT_EQ(list.view->indexPathForCell(cell), NSIndexPath::indexPathForItem(3, 0));
    EXPECT_EQ(list.view->cellForItemAtIndexPath(NSIndexPath::indexPathForItem(10, 0)), nullptr);
    EXPECT_EQ(list.view->indexPathForItemAtPoint({10, 440}), NSIndexPath::indexPathForItem(10, 0));
}

TEST_F(CollectionViewTest, ScrollingAThousandRowsReusesAScreenfulOfCells) {
    auto& list = showList({1000});
    for (CGFloat y = 0; y <= 44000 - 440; y += 30) {
        list.view->setContentOffset({0, y});
        list.view->layoutIfNeeded();
        // Every shown cell was configured for the item it shows.
        for (const auto& path : list.view->indexPathsForVisibleItems())
            ASSERT_EQ(cast<CountedCell>(list.view->cellForItemAtIndexPath(path))->shownFor, path) << y;
    }
    EXPECT_LE(CountedCell::made, 12);
    EXPECT_GE(list.source->cellRequests, 1000);
    auto shown = visibleItems(list.view);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), 999);
    auto reused = cast<CountedCell>(list.view->cellForItemAtIndexPath(NSIndexPath::indexPathForItem(999, 0)));
    EXPECT_GT(reused->reuses, 0);
    // Off-screen cells left the view; only the shown ones are subviews.
    EXPECT_EQ(list.view->subviews().size(), list.view->visibleCells().size());
}

TEST_F(CollectionViewTest, DragsAndScrollsToItemsStayWithinTheContent) {
    auto& list = showList({1000});
    EXPECT_TRUE(driver.scroll(list.view, 440)) << driver.lastError();
    EXPECT_EQ(visibleItems(list.view).front(), 10);

    EXPECT_TRUE(driver.scrollToItem(list.view, NSIndexPath::indexPathForItem(500, 0)));
    EXPECT_EQ(list.view->contentOffset(), CGPointMake(0, 22000));
    EXPECT_EQ(visibleItems(list.view).front(), 500);
    list.view->scrollToItemAtIndexPath(NSIndexPath::indexPathForItem(500, 0),
                                       UICollectionViewScrollPositionCenteredVertically, false);
    EXPECT_EQ(list.view->contentOffset(), CGPointMake(0, 22000 + 22 - 220));
    EXPECT_TRUE(driver.scrollToItem(list.view, NSIndexPath::indexPathForItem(999, 0)));
    EXPECT_EQ(list.view->contentOffset(), CGPointMake(0, 44000 - 440));
    EXPECT_FALSE(driver.scrollToItem(list.view, NSIndexPath::indexPathForItem(1000, 0)));
    EXPECT_NE(driver.lastError().find("no item"), std::string::npos);
    EXPECT_LE(CountedCell::made, 12);

    // Selecting an item off screen brings it in, then taps it.
    EXPECT_TRUE(driver.selectItem(list.view, NSIndexPath::indexPathForItem(3, 0))) << driver.lastError();
    EXPECT_EQ(list.view->contentOffset(), CGPointMake(0, 132));
    EXPECT_EQ(list.source->calls.back(), "didSelect {0, 3}");
    EXPECT_TRUE(driver.selectItem(list.view, NSIndexPath::indexPathForItem(5, 0)));
    EXPECT_EQ(list.view->contentOffset(), CGPointMake(0, 132)) << "a shown item is tapped where it is";
    EXPECT_EQ(list.source->calls.back(), "didSelect {0, 5}");
}

TEST_F(CollectionViewTest, DecorationsOfACustomLayoutLieBehindTheirSections) {
    PlateView::made = 0;
    auto layout = make<SectionPlateLayout>();
    layout->setSectionInset({10, 0, 10, 0});
    auto& list = showList({3, 0, 20, 2}, layout);

    // Section 0 spans 10-142, section 2 from 172; the bounds reach 440.
    auto plates = driver.findAllOfClass("(anonymous namespace).PlateView");
    ASSERT_EQ(plates.size(), 2u);
    auto first = cast<PlateView>(plates[0]);
    EXPECT_EQ(first->frame(), CGRectMake(-5, 5, 330, 142));
    EXPECT_EQ(first->backgroundColor(), UIColor::blueColor());
    EXPECT_EQ(first->applied->indexPath(), NSIndexPath::indexPathForItem(0, 0));
    EXPECT_EQ(cast<PlateView>(plates[1])->backgroundColor(), UIColor::redColor());
    EXPECT_EQ(cast<PlateView>(plates[1])->applied->indexPath().section(), 2);

    // Plates are behind every cell, whatever the order they were made in.
    const auto& subviews = list.view->subviews();
    auto indexOf = [&](const Ref<UIView>& view) { return std::find(subviews.begin(), subviews.end(), view) - subviews.begin(); };
    for (const auto& cell : list.view->visibleCells()) {
        EXPECT_LT(indexOf(plates[0]), indexOf(cell));
        EXPECT_LT(indexOf(plates[1]), indexOf(cell));
    }
    // A tap on a plate between cells selects nothing.
    EXPECT_FALSE(driver.tapAt(list.view->convertPointToView({100, 7}, nullptr)));
    EXPECT_TRUE(list.view->indexPathsForSelectedItems().empty());

    // Scrolled to the end, section 0's plate view is reused for section 3.
    list.view->scrollToItemAtIndexPath(NSIndexPath::indexPathForItem(1, 3), UICollectionViewScrollPositionBottom, false);
    plates = driver.findAllOfClass("(anonymous namespace).PlateView");
    ASSERT_EQ(plates.size(), 2u);
    EXPECT_EQ(PlateView::made, 2);
    std::vector<long> sections;
    for (const auto& plate : plates) sections.push_back(cast<PlateView>(plate)->applied->indexPath().section());
    std::sort(sections.begin(), sections.end());
    EXPECT_EQ(sections, (std::vector<long>{2, 3}));
}

TEST_F(CollectionViewTest, SupplementaryViewsComeFromTheDataSourceInFrontOfCells) {
    auto& list = showList({2, 2});
    list.layout->setHeaderReferenceSize({0, 30});
    list.layout->setItemSize({320, 200});
    list.source->providesHeaders = true;
    list.view->reloadData();
    list.view->layoutIfNeeded();

    EXPECT_EQ(list.source->calls, (std::vector<std::string>{"supplementary " + UICollectionElementKindSectionHeader + " 0",
                                                             "supplementary " + UICollectionElementKindSectionHeader + " 1"}));
    auto headers = driver.findAllOfClass("HeaderView");
    ASSERT_EQ(headers.size(), 2u);
    EXPECT_EQ(headers[1]->frame(), CGRectMake(0, 430, 320, 30));
    EXPECT_EQ(list.view->subviews().back(), headers[1]);

    // A data source without supplementary views shows none.
    list.source->providesHeaders = false;
    list.view->reloadData();
    list.view->layoutIfNeeded();
    EXPECT_TRUE(driver.findAllOfClass("HeaderView").empty());
    EXPECT_EQ(visibleItems(list.view), (std::vector<long>{0, 1}));
}

TEST_F(CollectionViewTest, TappingACellHighlightsAndSelectsItThroughTheDelegate) {
    auto& list = showList({20});
    auto first = list.view->cellForItemAtIndexPath(NSIndexPath::indexPathForItem(0, 0));
    auto second = list.view->cellForItemAtIndexPath(NSIndexPath::indexPathForItem(1, 0));
    auto label = make<UIView>(CGRectMake(10, 10, 100, 20));
    second->contentView()->addSubview(label);

    ASSERT_TRUE(driver.tap(first)) << driver.lastError();
    EXPECT_EQ(list.source->calls, (std::vector<std::string>{"shouldHighlight {0, 0}", "didHighlight {0, 0} (highlighted)",
                                                             "didUnhighlight {0, 0}", "shouldSelect {0, 0}",
                                                             "didSelect {0, 0}"}));
    EXPECT_TRUE(first->isSelected());
    EXPECT_FALSE(first->isHighlighted());

    // A tap on a view inside another cell selects that one, deselecting the first.
    list.source->calls.clear();
    ASSERT_TRUE(driver.tap(label)) << driver.lastError();
    EXPECT_EQ(list.source->calls.back(), "didSelect {0, 1}");
    EXPECT_EQ(list.source->calls[list.source->calls.size() - 2], "didDeselect {0, 0}");
    EXPECT_FALSE(first->isSelected());
    EXPECT_TRUE(second->isSelected());
    EXPECT_EQ(list.view->indexPathsForSelectedItems(), std::vector<NSIndexPath>{NSIndexPath::indexPathForItem(1, 0)});

    // Refused by the delegate: asked, nothing changes.
    list.source->allowSelection = false;
    list.source->calls.clear();
    ASSERT_TRUE(driver.tap(first));
    EXPECT_EQ(list.source->calls.back(), "shouldSelect {0, 0}");
    EXPECT_TRUE(second->isSelected());

    // Selection off: the delegate is not asked at all.
    list.view->setAllowsSelection(false);
    list.source->calls.clear();
    driver.tap(first);
    EXPECT_TRUE(list.source->calls.empty());
}

TEST_F(CollectionViewTest, SelectionSurvivesReuseAndReloadClearsItAndReusesCells) {
    auto& list = showList({100});
    auto path = NSIndexPath::indexPathForItem(2, 0);
    list.view->selectItemAtIndexPath(path, false, UICollectionViewScrollPositionNone);
    EXPECT_TRUE(list.source->calls.empty()) << "programmatic selection does not tell the delegate";
    EXPECT_TRUE(list.view->cellForItemAtIndexPath(path)->isSelected());

    list.view->scrollToItemAtIndexPath(NSIndexPath::indexPathForItem(60, 0), UICollectionViewScrollPositionTop, false);
    for (const auto& cell : list.view->visibleCells()) EXPECT_FALSE(cell->isSelected());
    list.view->selectItemAtIndexPath(path, false, UICollectionViewScrollPositionTop);
    EXPECT_EQ(list.view->contentOffset().y, 88);
    EXPECT_TRUE(list.view->cellForItemAtIndexPath(path)->isSelected());

    list.view->deselectItemAtIndexPath(path, false);
    EXPECT_FALSE(list.view->cellForItemAtIndexPath(path)->isSelected());
    list.view->selectItemAtIndexPath(path, false, UICollectionViewScrollPositionNone);
    list.source->counts = {5, 1};
    EXPECT_EQ(list.view->numberOfItemsInSection(0), 100) << "counts are read once per reload";
    int made = CountedCell::made;
    list.view->reloadData();
    EXPECT_TRUE(list.view->indexPathsForSelectedItems().empty());
    list.view->layoutIfNeeded();
    EXPECT_EQ(list.view->numberOfSections(), 2);
    EXPECT_EQ(list.view->contentSize().height, 264);
    EXPECT_EQ(list.view->visibleCells().size(), 6u);
    EXPECT_EQ(CountedCell::made, made) << "the reloaded items reuse the cells shown before";
}

TEST_F(CollectionViewTest, UnregisteredIdentifiersShowNothingAndAreLoggedOnce) {
    NSLogCapture log;
    auto layout = make<UICollectionViewFlowLayout>();
    auto view = make<UICollectionView>(CGRectMake(0, 0, 320, 200), layout);
    auto source = make<ListSource>();
    source->counts = {3};
    source->providesHeaders = true;
    layout->setHeaderReferenceSize({0, 20});
    view->setDataSource(source);
    view->layoutIfNeeded();
    EXPECT_TRUE(view->visibleCells().empty());
    EXPECT_TRUE(view->subviews().empty());
    ASSERT_EQ(log.lines().size(), 2u);
    EXPECT_TRUE(log.contains("cell with identifier cell"));
    EXPECT_TRUE(log.contains("supplementary view of kind " + UICollectionElementKindSectionHeader));

    // Without a data source there is nothing to show.
    view->setDataSource(nullptr);
    view->layoutIfNeeded();
    EXPECT_EQ(view->numberOfSections(), 0);
    EXPECT_EQ(view->contentSize(), CGSizeMake(320, 0));
}

TEST_F(CollectionViewTest, SwitchingLayoutsRelaysTheSameItems) {
    auto& list = showList({30});
    auto grid = make<UICollectionViewFlowLayout>();
    grid->setItemSize({100, 100});
    grid->setMinimumLineSpacing(10);
    list.view->setCollectionViewLayout(grid);
    list.view->layoutIfNeeded();
    EXPECT_EQ(list.view->collectionViewLayout(), grid);
    EXPECT_EQ(list.layout->collectionView(), nullptr);
    EXPECT_EQ(grid->collectionView(), list.view);
    // Three 100-point items a 320-point line, four lines in 440 points.
    EXPECT_EQ(list.view->visibleCells().size(), 12u);
    EXPECT_EQ(list.view->cellForItemAtIndexPath(NSIndexPath::indexPathForItem(4, 0))->frame(),
              CGRectMake(110, 110, 100, 100));
}

}  // namespace
