#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/NSLog.h"
#include "tests/support/AppFixture.h"
#include "uikit/NSLayoutConstraint.h"
#include "uikit/UILabel.h"
#include "uikit/UILayoutGuide.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"

namespace {

using Attr = NSLayoutAttribute;
using Rel = NSLayoutRelation;

class ConstraintLayoutTest : public AppFixture {
protected:
    // A frame-placed container, 375 x 600, that the tests lay out.
    Ref<UIView> root = make<UIView>(CGRectMake(0, 0, 375, 600));

    template <class V = UIView> Ref<V> addView(const Ref<UIView>& parent) {
        auto view = make<V>();
        view->setTranslatesAutoresizingMaskIntoConstraints(false);
        parent->addSubview(view);
        return view;
    }

    static Ref<NSLayoutConstraint> pin(const Ref<NSObject>& item, Attr attribute, Rel relation,
                                       const Ref<NSObject>& other, Attr otherAttribute, CGFloat multiplier = 1,
                                       CGFloat constant = 0, UILayoutPriority priority = UILayoutPriorityRequired) {
        auto constraint = NSLayoutConstraint::constraintWithItem(item, attribute, relation, other, otherAttribute,
                                                                 multiplier, constant);
        constraint->setPriority(priority);
        constraint->setActive(true);
        return constraint;
    }
    static Ref<NSLayoutConstraint> equal(const Ref<NSObject>& item, Attr attribute, const Ref<NSObject>& other,
                                         Attr otherAttribute, CGFloat constant = 0) {
        return pin(item, attribute, Rel::Equal, other, otherAttribute, 1, constant);
    }
    static Ref<NSLayoutConstraint> size(const Ref<NSObject>& item, Attr attribute, CGFloat value,
                                        Rel relation = Rel::Equal, UILayoutPriority priority = UILayoutPriorityRequired) {
        return pin(item, attribute, relation, nullptr, Attr::NotAnAttribute, 1, value, priority);
    }
    static Ref<UILabel> label(const std::string& text, long lines = 1) {
        auto label = make<UILabel>();
        label->setText(text);
        label->setNumberOfLines(lines);
        return label;
    }
    static std::string longText() {
        return "A promotion card's description that runs on for long enough to need several lines of text";
    }
};

TEST_F(ConstraintLayoutTest, TypicalCardWithEdgesCentreWidthAndAWrappingLabel) {
    auto card = addView(root);
    equal(card, Attr::Left, root, Attr::Left, 20);
    equal(card, Attr::Right, root, Attr::Right, -20);
    equal(card, Attr::Top, root, Attr::Top, 10);
    auto icon = addView(card);
    equal(icon, Attr::Left, card, Attr::Left, 14);
    equal(icon, Attr::CenterY, card, Attr::CenterY);
    size(icon, Attr::Width, 40);
    pin(icon, Attr::Height, Rel::Equal, icon, Attr::Width, 1);
    auto title = addView<UILabel>(card);
    title->setText("Title");
    equal(title, Attr::Left, icon, Attr::Right, 10);
    equal(title, Attr::Top, card, Attr::Top, 12);
    auto detail = addView<UILabel>(card);
    detail->setText(longText());
    detail->setNumberOfLines(0);
    equal(detail, Attr::Left, title, Attr::Left);
    equal(detail, Attr::Right, card, Attr::Right, -14);
    equal(detail, Attr::Top, title, Attr::Bottom, 6);
    // The card is as tall as its content.
    equal(card, Attr::Bottom, detail, Attr::Bottom, 12);

    root->layoutIfNeeded();

    CGSize titleSize = title->intrinsicContentSize();
    CGFloat detailWidth = 335 - 14 - 64;
    CGSize detailSize = label(longText(), 0)->sizeThatFits({detailWidth, 0});
    ASSERT_GT(detailSize.height, titleSize.height * 1.5);  // it wraps
    EXPECT_EQ(detail->frame(), CGRectMake(64, 12 + titleSize.height + 6, detailWidth, detailSize.height));
    CGFloat cardHeight = 12 + titleSize.height + 6 + detailSize.height + 12;
    EXPECT_EQ(card->frame(), CGRectMake(20, 10, 335, cardHeight));
    EXPECT_EQ(title->frame(), CGRectMake(64, 12, titleSize.width, titleSize.height));
    EXPECT_DOUBLE_EQ(icon->frame().origin.x, 14);
    EXPECT_NEAR(icon->frame().origin.y, (cardHeight - 40) / 2, 1e-9);
    EXPECT_EQ(icon->frame().size, CGSizeMake(40, 40));
}

TEST_F(ConstraintLayoutTest, AWrappingLabelWithAFreeWidthGrowsWithALongerText) {
    auto title = addView<UILabel>(root);
    title->setNumberOfLines(0);
    title->setText("Data");
    equal(title, Attr::Left, root, Attr::Left, 20);
    equal(title, Attr::CenterY, root, Attr::CenterY);
    root->layoutIfNeeded();
    const CGSize oneWord = title->frame().size;

    // Laid out once, the label still takes the longer text on one line.
    title->setText("Data and rankings");
    root->layoutIfNeeded();
    const CGSize longer = label("Data and rankings")->intrinsicContentSize();
    EXPECT_EQ(title->frame().size, longer);
    EXPECT_GT(longer.width, oneWord.width);
    EXPECT_EQ(longer.height, oneWord.height);
}

TEST_F(ConstraintLayoutTest, ChainsOfSiblingsWithMultipliersShareTheWidth) {
    auto a = addView(root), b = addView(root), c = addView(root);
    equal(a, Attr::Leading, root, Attr::Leading, 15);
    equal(b, Attr::Left, a, Attr::Right, 10);
    equal(c, Attr::Left, b, Attr::Right, 10);
    equal(c, Attr::Trailing, root, Attr::Trailing, -15);
    pin(b, Attr::Width, Rel::Equal, a, Attr::Width, 2);
    equal(c, Attr::Width, a, Attr::Width);
    for (const auto& view : {a, b, c}) {
        equal(view, Attr::Top, root, Attr::Top, 100);
        pin(view, Attr::Height, Rel::Equal, root, Attr::Height, 0.25);
    }
    // Centred in the container, half its width.
    auto centred = addView(root);
    equal(centred, Attr::CenterX, root, Attr::CenterX);
    equal(centred, Attr::CenterY, root, Attr::CenterY, -50);
    pin(centred, Attr::Width, Rel::Equal, root, Attr::Width, 0.5);
    size(centred, Attr::Height, 20);
    root->layoutIfNeeded();

    // 4a + 20 = 345
    EXPECT_EQ(a->frame(), CGRectMake(15, 100, 81.25, 150));
    EXPECT_EQ(b->frame(), CGRectMake(106.25, 100, 162.5, 150));
    EXPECT_EQ(c->frame(), CGRectMake(278.75, 100, 81.25, 150));
    EXPECT_EQ(centred->frame(), CGRectMake(93.75, 240, 187.5, 20));
}

TEST_F(ConstraintLayoutTest, InequalitiesAndPrioritiesDecideBetweenWishes) {
    auto capped = addView(root), floored = addView(root), loose = addView(root);
    for (const auto& view : {capped, floored, loose}) {
        equal(view, Attr::Left, root, Attr::Left);
        equal(view, Attr::Top, root, Attr::Top);
        size(view, Attr::Height, 10);
    }
    size(capped, Attr::Width, 200, Rel::LessThanOrEqual);
    size(capped, Attr::Width, 300, Rel::Equal, UILayoutPriorityDefaultHigh);
    size(floored, Attr::Width, 100, Rel::GreaterThanOrEqual);
    size(floored, Attr::Width, 50, Rel::Equal, UILayoutPriorityDefaultLow);
    // Two non-required wishes: the higher priority one wins outright.
    size(loose, Attr::Width, 120, Rel::Equal, 500);
    size(loose, Attr::Width, 60, Rel::Equal, 499);
    pin(loose, Attr::Right, Rel::LessThanOrEqual, root, Attr::Right, 1, -300);
    root->layoutIfNeeded();

    EXPECT_DOUBLE_EQ(capped->frame().size.width, 200);
    EXPECT_DOUBLE_EQ(floored->frame().size.width, 100);
    EXPECT_DOUBLE_EQ(loose->frame().size.width, 75);  // the required edge caps it
}

TEST_F(ConstraintLayoutTest, HuggingAndCompressionResistanceBetweenTwoLabelsInARow) {
    auto name = addView<UILabel>(root);
    name->setText("Name");
    auto value = addView<UILabel>(root);
    value->setText("Value");
    equal(name, Attr::Left, root, Attr::Left);
    equal(value, Attr::Left, name, Attr::Right, 8);
    equal(value, Attr::Right, root, Attr::Right);
    for (const auto& l : {name, value}) equal(l, Attr::Top, root, Attr::Top);
    CGSize nameSize = name->intrinsicContentSize(), valueSize = value->intrinsicContentSize();

    // The one that hugs harder keeps its size; the other takes the room.
    name->setContentHuggingPriority(251, UILayoutConstraintAxis::Horizontal);
    root->layoutIfNeeded();
    EXPECT_EQ(name->frame().size, nameSize);
    EXPECT_DOUBLE_EQ(value->frame().size.width, 375 - nameSize.width - 8);
    EXPECT_DOUBLE_EQ(value->frame().size.height, valueSize.height);

    name->setContentHuggingPriority(250, UILayoutConstraintAxis::Horizontal);
    value->setContentHuggingPriority(252, UILayoutConstraintAxis::Horizontal);
    root->layoutIfNeeded();
    EXPECT_DOUBLE_EQ(value->frame().size.width, valueSize.width);
    EXPECT_DOUBLE_EQ(name->frame().size.width, 375 - valueSize.width - 8);

    // Too narrow for both: the one that resists compression more keeps its size.
    root->setFrame(CGRectMake(0, 0, nameSize.width + 8 + valueSize.width - 20, 600));
    value->setContentCompressionResistancePriority(751, UILayoutConstraintAxis::Horizontal);
    root->layoutIfNeeded();
    EXPECT_DOUBLE_EQ(value->frame().size.width, valueSize.width);
    EXPECT_DOUBLE_EQ(name->frame().size.width, nameSize.width - 20);
}

TEST_F(ConstraintLayoutTest, ConflictsAreLoggedOnceAndTheLaterRequiredConstraintIsBroken) {
    NSLogCapture log;
    auto view = addView(root);
    equal(view, Attr::Left, root, Attr::Left);
    equal(view, Attr::Top, root, Attr::Top);
    size(view, Attr::Height, 30);
    size(view, Attr::Width, 100);
    auto later = size(view, Attr::Width, 200);
    root->layoutIfNeeded();
    EXPECT_EQ(view->frame(), CGRectMake(0, 0, 100, 30));
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find("Unable to simultaneously satisfy constraints"), std::string::npos);
    EXPECT_NE(log.lines()[0].find(".width == 200"), std::string::npos);

    // Solving again (another constraint changed) breaks it again, silently.
    auto other = addView(root);
    equal(other, Attr::Top, view, Attr::Bottom, 5);
    root->layoutIfNeeded();
    EXPECT_EQ(log.lines().size(), 1u);
    EXPECT_DOUBLE_EQ(other->frame().origin.y, 35);

    // A constraint that conflicts only with a frame-placed view's frame is broken too.
    auto placed = make<UIView>(CGRectMake(0, 0, 50, 50));
    root->addSubview(placed);
    size(placed, Attr::Width, 80);
    root->layoutIfNeeded();
    EXPECT_EQ(log.lines().size(), 2u);
    EXPECT_EQ(placed->frame().size.width, 50);

    // Deactivating the first makes the broken one hold.
    for (const auto& c : std::vector(view->constraints()))
        if (c->firstAttribute() == Attr::Width && c->constant() == 100) c->setActive(false);
    root->layoutIfNeeded();
    EXPECT_DOUBLE_EQ(view->frame().size.width, 200);
    EXPECT_TRUE(later->isActive());
}

TEST_F(ConstraintLayoutTest, FittingSizeOfACellContentViewWithAMultiLineLabel) {
    auto contentView = make<UIView>();
    auto background = addView(contentView);
    auto text = addView<UILabel>(background);
    text->setText(longText());
    text->setNumberOfLines(0);
    equal(background, Attr::Left, contentView, Attr::Left, 20);
    equal(background, Attr::Right, contentView, Attr::Right, -20);
    equal(background, Attr::Top, contentView, Attr::Top);
    equal(background, Attr::Bottom, contentView, Attr::Bottom, -10);
    equal(text, Attr::Left, background, Attr::Left, 15);
    equal(text, Attr::Right, background, Attr::Right, -15);
    equal(text, Attr::Top, background, Attr::Top, 8);
    equal(text, Attr::Bottom, background, Attr::Bottom, -8);

    CGSize fitting = contentView->systemLayoutSizeFittingSize({320, 0}, UILayoutPriorityRequired,
                                                              UILayoutPriorityFittingSizeLevel);
    CGFloat textHeight = label(longText(), 0)->sizeThatFits({320 - 40 - 30, 0}).height;
    EXPECT_DOUBLE_EQ(fitting.width, 320);
    EXPECT_DOUBLE_EQ(fitting.height, textHeight + 16 + 10);
    // A wider row wraps into fewer lines.
    CGSize wide = contentView->systemLayoutSizeFittingSize({700, 0}, UILayoutPriorityRequired,
                                                           UILayoutPriorityFittingSizeLevel);
    EXPECT_LT(wide.height, fitting.height);
    // Nothing was moved.
    EXPECT_EQ(text->frame(), CGRectZero);
    EXPECT_EQ(contentView->frame(), CGRectZero);

    // An axis the constraints leave free comes back as the target's.
    auto bar = make<UIView>();
    auto inner = addView(bar);
    equal(inner, Attr::Left, bar, Attr::Left);
    equal(inner, Attr::Right, bar, Attr::Right);
    size(inner, Attr::Width, 100);
    EXPECT_EQ(bar->systemLayoutSizeFittingSize(UILayoutFittingCompressedSize), CGSizeMake(100, 0));
    EXPECT_EQ(bar->systemLayoutSizeFittingSize(UILayoutFittingExpandedSize),
              CGSizeMake(100, UILayoutFittingExpandedSize.height));
    // Without constraints inside, the view's own idea of its size.
    auto plain = make<UIView>(CGRectMake(0, 0, 30, 40));
    EXPECT_EQ(plain->systemLayoutSizeFittingSize(UILayoutFittingCompressedSize), CGSizeMake(30, 40));
    // A lone label fits its text.
    auto lone = label("Short");
    EXPECT_EQ(lone->systemLayoutSizeFittingSize(UILayoutFittingCompressedSize), lone->intrinsicContentSize());
}

// Records the frame its constrained subview has when it lays out.
class ObservingView : public UIView {
public:
    using UIView::UIView;
    Ref<UIView> observed;
    std::vector<CGRect> seen;
    void layoutSubviews() override {
        if (observed) seen.push_back(observed->frame());
    }
};

TEST_F(ConstraintLayoutTest, TheLayoutPassPlacesConstrainedViewsBeforeTheirSuperviewsLayoutSubviews) {
    auto window = make<UIWindow>(CGRectMake(0, 0, 375, 667));
    window->makeKeyAndVisible();
    auto container = make<ObservingView>(CGRectMake(0, 0, 375, 667));
    window->addSubview(container);
    auto bar = addView(container);
    container->observed = bar;
    equal(bar, Attr::Left, container, Attr::Left);
    equal(bar, Attr::Right, container, Attr::Right);
    equal(bar, Attr::Top, container, Attr::Top);
    auto height = size(bar, Attr::Height, 44);
    // The pass is posted to the main queue.
    ASSERT_TRUE(runUntil([&] { return !container->seen.empty(); }));
    EXPECT_EQ(container->seen.back(), CGRectMake(0, 0, 375, 44));

    height->setConstant(64);
    ASSERT_TRUE(runUntil([&] { return bar->frame().size.height == 64; }));
    EXPECT_EQ(container->seen.back(), CGRectMake(0, 0, 375, 64));

    // A frame change of the container reaches the constrained bar.
    container->setFrame(CGRectMake(0, 0, 320, 667));
    ASSERT_TRUE(runUntil([&] { return bar->frame().size.width == 320; }));
}

TEST_F(ConstraintLayoutTest, ViewsInDifferentBranchesAndFramePlacedContainersRelate) {
    auto header = addView(root);
    equal(header, Attr::Top, root, Attr::Top, 20);
    equal(header, Attr::Left, root, Attr::Left);
    equal(header, Attr::Right, root, Attr::Right);
    size(header, Attr::Height, 50);
    // A frame-placed panel inside the header, and a constrained badge inside it.
    auto panel = make<UIView>(CGRectMake(100, 5, 200, 40));
    header->addSubview(panel);
    auto badge = addView(panel);
    equal(badge, Attr::Right, panel, Attr::Right, -4);
    equal(badge, Attr::CenterY, panel, Attr::CenterY);
    size(badge, Attr::Width, 20);
    size(badge, Attr::Height, 20);
    // Below the header, a view aligned with the badge across the branches.
    auto marker = addView(root);
    equal(marker, Attr::CenterX, badge, Attr::CenterX);
    equal(marker, Attr::Top, badge, Attr::Bottom, 30);
    size(marker, Attr::Width, 10);
    size(marker, Attr::Height, 10);
    root->layoutIfNeeded();

    EXPECT_EQ(badge->frame(), CGRectMake(176, 10, 20, 20));
    // badge in root: x 100 + 176 = 276, centre 286; bottom 20 + 5 + 30 = 55.
    EXPECT_EQ(marker->frame(), CGRectMake(281, 85, 10, 10));

    // Moving the frame-placed panel moves both.
    panel->setFrame(CGRectMake(0, 5, 200, 40));
    root->layoutIfNeeded();
    EXPECT_EQ(marker->frame(), CGRectMake(181, 85, 10, 10));
}

TEST_F(ConstraintLayoutTest, RemovingAViewDropsTheConstraintsAboveItThatReferToIt) {
    auto a = addView(root), b = addView(root);
    auto inner = addView(a);
    equal(a, Attr::Top, root, Attr::Top);
    equal(b, Attr::Top, inner, Attr::Bottom);
    equal(inner, Attr::Top, a, Attr::Top, 5);
    size(inner, Attr::Height, 10);
    EXPECT_EQ(root->constraints().size(), 2u);  // both installed on the root
    a->removeFromSuperview();
    EXPECT_EQ(root->constraints().size(), 0u);
    // Constraints inside the removed view stay.
    EXPECT_EQ(a->constraints().size(), 1u);
    EXPECT_EQ(inner->constraints().size(), 1u);

    // Without a common ancestor a constraint does not activate.
    NSLogCapture log;
    auto loose = NSLayoutConstraint::constraintWithItem(b, Attr::Top, Rel::Equal, inner, Attr::Top, 1, 0);
    loose->setActive(true);
    EXPECT_FALSE(loose->isActive());
    EXPECT_TRUE(log.contains("no common ancestor"));
}

TEST_F(ConstraintLayoutTest, SafeAreaGuideAndUpdateConstraints) {
    UIScreen::configureMainScreen({375, 812}, 3, true);
    auto window = make<UIWindow>();
    window->makeKeyAndVisible();
    auto content = addView(window);
    auto guide = window->safeAreaLayoutGuide();
    equal(content, Attr::Top, guide, Attr::Top);
    equal(content, Attr::Bottom, guide, Attr::Bottom);
    equal(content, Attr::Left, window, Attr::Left);
    equal(content, Attr::Right, window, Attr::Right);
    window->layoutIfNeeded();
    UIEdgeInsets insets = window->safeAreaInsets();
    ASSERT_GT(insets.top, 0);
    EXPECT_EQ(content->frame(), CGRectMake(0, insets.top, 375, 812 - insets.top - insets.bottom));

    struct Growing : UIView {
        Ref<NSLayoutConstraint> height;
        int updates = 0;
        void updateConstraints() override {
            ++updates;
            height->setConstant(height->constant() + 10);
        }
    };
    auto growing = make<Growing>();
    growing->setTranslatesAutoresizingMaskIntoConstraints(false);
    content->addSubview(growing);
    equal(growing, Attr::Top, content, Attr::Top);
    growing->height = size(growing, Attr::Height, 10);
    growing->setNeedsUpdateConstraints();
    window->layoutIfNeeded();
    EXPECT_EQ(growing->updates, 1);
    EXPECT_DOUBLE_EQ(growing->frame().size.height, 20);
    window->layoutIfNeeded();
    EXPECT_EQ(growing->updates, 1);
}

// Counts how often its intrinsic size is asked for.
class CountingLabel : public UILabel {
public:
    int measurements = 0;
    CGSize intrinsicContentSize() override {
        ++measurements;
        return UILabel::intrinsicContentSize();
    }
};

TEST_F(ConstraintLayoutTest, AScreenOfAHundredConstraintsSolvesOnlyWhatChanged) {
    // 25 rows of a label and a badge, each row below the previous one.
    Ref<UIView> previous = root;
    std::vector<Ref<CountingLabel>> labels;
    for (int row = 0; row < 25; ++row) {
        auto text = addView<CountingLabel>(root);
        text->setText("Row " + std::to_string(row));
        auto badge = addView(root);
        equal(text, Attr::Left, root, Attr::Left, 15);
        equal(text, Attr::Top, previous, row == 0 ? Attr::Top : Attr::Bottom, 4);
        equal(badge, Attr::Left, text, Attr::Right, 8);
        equal(badge, Attr::CenterY, text, Attr::CenterY);
        size(badge, Attr::Width, 12);
        pin(badge, Attr::Height, Rel::Equal, badge, Attr::Width, 1);
        pin(badge, Attr::Right, Rel::LessThanOrEqual, root, Attr::Right, 1, -15);
        previous = text;
        labels.push_back(text);
    }
    // A separate island: a cell-like container with its own constrained content.
    auto cell = make<UIView>(CGRectMake(0, 1000, 375, 44));
    root->addSubview(cell);
    auto cellLabel = addView<CountingLabel>(cell);
    cellLabel->setText("Cell");
    equal(cellLabel, Attr::Left, cell, Attr::Left, 15);
    equal(cellLabel, Attr::CenterY, cell, Attr::CenterY);

    root->layoutIfNeeded();
    CGFloat rowHeight = labels[0]->intrinsicContentSize().height;
    EXPECT_DOUBLE_EQ(labels[24]->frame().origin.y, 4 + 24 * (rowHeight + 4));
    EXPECT_EQ(cellLabel->frame().origin.y, (44 - cellLabel->intrinsicContentSize().height) / 2);

    // Changing one constant solves the screen again without measuring text
    // again, and leaves the cell's island alone.
    for (auto& l : labels) l->measurements = 0;
    cellLabel->measurements = 0;
    for (int i = 0; i < 10; ++i) {
        root->constraints()[1]->setConstant(5 + i);
        root->layoutIfNeeded();
    }
    EXPECT_DOUBLE_EQ(labels[24]->frame().origin.y, 14 + 24 * (rowHeight + 4));
    EXPECT_EQ(labels[3]->measurements, 0);
    // Moving the cell (as scrolling does) does not solve its content again.
    cell->setFrame(CGRectMake(0, 1200, 375, 44));
    root->layoutIfNeeded();
    EXPECT_EQ(cellLabel->measurements, 0);
    // Its text changing does.
    cellLabel->setText("Cell, longer");
    root->layoutIfNeeded();
    EXPECT_EQ(cellLabel->measurements, 1);
    EXPECT_EQ(labels[3]->measurements, 0);
    // How fast this is, bench/constraint_layout measures: a time bound here
    // would only measure how busy the machine running the tests is.
}

}  // namespace
