#include <gtest/gtest.h>

#include "foundation/NSLog.h"
#include "frameworks/constraints/ConstraintViewDSL.h"
#include "frameworks/constraints/LayoutConstraint.h"
#include "tests/support/AppFixture.h"
#include "uikit/UILabel.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"

namespace {

class SnapKitDSLTest : public AppFixture {
protected:
    Ref<UIView> root = make<UIView>(CGRectMake(0, 0, 375, 600));

    Ref<UIView> child(const Ref<UIView>& parent) {
        auto view = make<UIView>();
        parent->addSubview(view);
        return view;
    }
};

TEST_F(SnapKitDSLTest, MakeConstraintsForATypicalCard) {
    CGFloat scale = 1.5;
    auto bar = child(root), card = child(root), icon = child(card), badge = child(card), shadow = child(card);
    snp(bar).makeConstraints([&](ConstraintMaker& make) {
        make.left.right.top.equalToSuperview();
        make.height.equalTo(44);
    });
    snp(card).makeConstraints([&](ConstraintMaker& make) {
        make.top.equalTo(snp(bar).bottom).offset(10);
        make.left.right.equalToSuperview().inset(15);
        make.height.equalTo(100 * scale);
    });
    snp(icon).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(12);
        make.centerY.equalToSuperview();
        make.size.equalTo(CGSizeMake(40, 40));
    });
    snp(badge).makeConstraints([&](ConstraintMaker& make) {
        make.center.equalTo(icon);
        make.width.height.equalTo(icon).multipliedBy(0.5);
    });
    snp(shadow).makeConstraints([&](ConstraintMaker& make) {
        make.edges.equalToSuperview().inset(UIEdgeInsetsMake(5, 10, 15, 20));
    });
    root->layoutIfNeeded();

    EXPECT_FALSE(card->translatesAutoresizingMaskIntoConstraints());
    EXPECT_EQ(bar->frame(), CGRectMake(0, 0, 375, 44));
    EXPECT_EQ(card->frame(), CGRectMake(15, 54, 345, 150));
    EXPECT_EQ(icon->frame(), CGRectMake(12, 55, 40, 40));
    EXPECT_EQ(badge->frame(), CGRectMake(22, 65, 20, 20));
    EXPECT_EQ(shadow->frame(), CGRectMake(10, 5, 315, 130));
    // Installed on the closest common ancestor: the bar's and card's on the
    // root, the badge's relations to its sibling on the card, sizes on the view.
    EXPECT_EQ(root->constraints().size(), 3u + 3u);
    EXPECT_EQ(bar->constraints().size(), 1u);
    EXPECT_TRUE(isKind<LayoutConstraint>(bar->constraints()[0]));
    EXPECT_EQ(card->constraints().size(), 1u + 2u + 4u + 4u);
}

TEST_F(SnapKitDSLTest, InequalitiesPrioritiesLabelsAndDividedBy) {
    auto name = make<UILabel>();
    name->setText("A name that is rather long for the space");
    root->addSubview(name);
    auto tag = child(root);
    snp(tag).makeConstraints([&](ConstraintMaker& make) {
        make.right.equalToSuperview().offset(-10);
        make.top.equalTo(20);
        make.width.equalToSuperview().dividedBy(5);
        make.height.equalTo(snp(tag).width);
    });
    snp(name).makeConstraints([&](ConstraintMaker& make) {
        make.leading.equalToSuperview().offset(10);
        make.trailing.lessThanOrEqualTo(snp(tag).leading).offset(-8);
        make.centerY.equalTo(tag);
        make.width.equalTo(1000).priority(ConstraintPriority::high + 1);
    });
    root->layoutIfNeeded();

    EXPECT_EQ(tag->frame(), CGRectMake(290, 20, 75, 75));
    // Wants 1000 wide (above its compression resistance), capped by the tag.
    EXPECT_DOUBLE_EQ(name->frame().origin.x, 10);
    EXPECT_DOUBLE_EQ(name->frame().size.width, 290 - 8 - 10);
    EXPECT_DOUBLE_EQ(name->frame().origin.y + name->frame().size.height / 2, 57.5);
}

TEST_F(SnapKitDSLTest, RemakeReplacesUpdateChangesConstantsRemoveClears) {
    auto view = child(root);
    snp(view).makeConstraints([&](ConstraintMaker& make) {
        make.left.top.equalTo(10);
        make.width.height.equalTo(50);
    });
    root->layoutIfNeeded();
    EXPECT_EQ(view->frame(), CGRectMake(10, 10, 50, 50));

    snp(view).updateConstraints([&](ConstraintMaker& make) {
        make.top.equalTo(30);
        make.width.equalTo(80);
    });
    root->layoutIfNeeded();
    EXPECT_EQ(view->frame(), CGRectMake(10, 30, 80, 50));
    EXPECT_EQ(root->constraints().size(), 2u);
    EXPECT_EQ(view->constraints().size(), 2u);

    // An update that matches nothing adds the constraint.
    snp(view).updateConstraints([&](ConstraintMaker& make) { make.width.lessThanOrEqualTo(200); });
    root->layoutIfNeeded();
    EXPECT_EQ(view->constraints().size(), 3u);

    snp(view).remakeConstraints([&](ConstraintMaker& make) {
        make.edges.equalToSuperview().inset(100);
    });
    root->layoutIfNeeded();
    EXPECT_EQ(view->frame(), CGRectMake(100, 100, 175, 400));
    EXPECT_EQ(view->constraints().size(), 0u);
    EXPECT_EQ(root->constraints().size(), 4u);

    // Constraints made otherwise survive a remake.
    auto own = NSLayoutConstraint::constraintWithItem(view, NSLayoutAttribute::Height, NSLayoutRelation::LessThanOrEqual,
                                                      nullptr, NSLayoutAttribute::NotAnAttribute, 1, 1000);
    own->setActive(true);
    snp(view).removeConstraints();
    EXPECT_EQ(root->constraints().size(), 0u);
    EXPECT_TRUE(own->isActive());
}

TEST_F(SnapKitDSLTest, SafeAreaGuideAndMissingTargetsAreSkipped) {
    UIScreen::useNotchedScreen();
    auto window = make<UIWindow>();
    window->makeKeyAndVisible();
    auto table = child(window);
    snp(table).makeConstraints([&](ConstraintMaker& make) {
        make.left.right.top.equalToSuperview();
        make.bottom.equalTo(snp(window->safeAreaLayoutGuide()).bottom);
    });
    window->layoutIfNeeded();
    EXPECT_EQ(table->frame(), CGRectMake(0, 0, 375, 812 - window->safeAreaInsets().bottom));

    NSLogCapture log;
    auto orphan = make<UIView>();
    Ref<UIView> missing;
    snp(orphan).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalToSuperview();
        make.top.equalTo(missing);
        make.width.equalTo(10);
    });
    EXPECT_EQ(orphan->constraints().size(), 1u);
    EXPECT_TRUE(log.contains("skipped"));
}

}  // namespace
