#include <gtest/gtest.h>

#include "frameworks/constraints/MASAdditions.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"

namespace {

class MasonryDSLTest : public AppFixture {
protected:
    Ref<UIView> root = make<UIView>(CGRectMake(0, 0, 375, 600));

    Ref<UIView> child(const Ref<UIView>& parent) {
        auto view = make<UIView>();
        parent->addSubview(view);
        return view;
    }
};

TEST_F(MasonryDSLTest, TheFormsTheScreensUse) {
    auto table = child(root), header = child(root), date = child(header), period = child(header), dot = child(header);
    mas_makeConstraints(header, [&](MASConstraintMaker& make) {
        make.left.mas_equalTo(20);
        make.right.equalTo(root).offset(-20);
        make.top.equalTo(mas_top(root)).with.offset(10);
        make.height.equalTo(44);
    });
    mas_makeConstraints(table, [&](MASConstraintMaker& make) {
        make.top.equalTo(mas_bottom(header)).offset(10);
        make.left.right.bottom.equalTo(root);
    });
    mas_makeConstraints(date, [&](MASConstraintMaker& make) {
        make.right.centerY.equalTo(header);
        make.width.mas_equalTo(100);
        make.height.equalTo(header).dividedBy(2);
    });
    mas_makeConstraints(period, [&](MASConstraintMaker& make) {
        make.right.equalTo(mas_left(date)).offset(-5);
        make.centerY.equalTo(mas_centerY(date));
        make.size.mas_equalTo(CGSizeMake(60, 20));
    });
    mas_makeConstraints(dot, [&](MASConstraintMaker& make) {
        make.center.equalTo(header).centerOffset(CGPointMake(-30, 2));
        make.size.equalTo(period).sizeOffset(CGSizeMake(-50, -14));
        make.width.equalTo(50).priorityLow();
    });
    root->layoutIfNeeded();

    EXPECT_EQ(header->frame(), CGRectMake(20, 10, 335, 44));
    EXPECT_EQ(table->frame(), CGRectMake(0, 64, 375, 536));
    EXPECT_EQ(date->frame(), CGRectMake(235, 11, 100, 22));
    EXPECT_EQ(period->frame(), CGRectMake(170, 12, 60, 20));
    EXPECT_EQ(dot->frame(), CGRectMake(132.5, 21, 10, 6));
    EXPECT_FALSE(dot->translatesAutoresizingMaskIntoConstraints());
}

TEST_F(MasonryDSLTest, EdgesInsetsUpdateAndRemake) {
    auto card = child(root);
    auto made = mas_makeConstraints(card, [&](MASConstraintMaker& make) {
        make.edges.equalTo(root).insets(UIEdgeInsetsMake(5, 10, 15, 20));
    });
    EXPECT_EQ(made.size(), 4u);
    root->layoutIfNeeded();
    EXPECT_EQ(card->frame(), CGRectMake(10, 5, 345, 580));

    auto updated = mas_updateConstraints(card, [&](MASConstraintMaker& make) {
        make.top.equalTo(root).offset(50);
        make.height.mas_equalTo(100).priorityHigh();  // matches nothing: added
    });
    EXPECT_EQ(updated.size(), 2u);
    EXPECT_EQ(updated[0], made[1]);  // the existing top constraint, changed
    root->layoutIfNeeded();
    // The high-priority height loses against the required edges.
    EXPECT_EQ(card->frame(), CGRectMake(10, 50, 345, 535));

    mas_remakeConstraints(card, [&](MASConstraintMaker& make) {
        make.left.right.top.equalTo(root).inset(30);
        make.height.mas_equalTo(100);
    });
    root->layoutIfNeeded();
    EXPECT_EQ(card->frame(), CGRectMake(30, 30, 315, 100));
    EXPECT_FALSE(made[0]->isActive());
    EXPECT_EQ(root->constraints().size(), 3u);
}

TEST_F(MasonryDSLTest, SafeAreaBottom) {
    UIScreen::useNotchedScreen();
    auto window = make<UIWindow>();
    window->makeKeyAndVisible();
    auto table = child(window);
    mas_makeConstraints(table, [&](MASConstraintMaker& make) {
        make.left.right.top.equalTo(window);
        make.bottom.equalTo(mas_safeAreaLayoutGuideBottom(window));
    });
    window->layoutIfNeeded();
    EXPECT_DOUBLE_EQ(CGRectGetMaxY(table->frame()), 812 - window->safeAreaInsets().bottom);
    EXPECT_GT(window->safeAreaInsets().bottom, 0);
}

}  // namespace
