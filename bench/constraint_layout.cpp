// Constraint layout of one screen: 25 rows of a label and a badge, about a
// hundred constraints plus the labels' intrinsic sizes, solved again after
// one constant changes (what a layout pass does after an edit), and the
// fitting size of a cell-like content view with a wrapping label (what
// automatic row heights ask per row).
#include <benchmark/benchmark.h>

#include <string>

#include "uikit/NSLayoutConstraint.h"
#include "uikit/UILabel.h"
#include "uikit/UIView.h"

namespace {

using Attr = NSLayoutAttribute;

Ref<NSLayoutConstraint> relate(const Ref<UIView>& view, Attr attribute, const Ref<UIView>& other, Attr otherAttribute,
                               CGFloat constant = 0, NSLayoutRelation relation = NSLayoutRelation::Equal) {
    auto constraint = NSLayoutConstraint::constraintWithItem(view, attribute, relation, other, otherAttribute,
                                                             other ? 1 : 0, constant);
    constraint->setActive(true);
    return constraint;
}

template <class V> Ref<V> constrained(const Ref<UIView>& parent) {
    auto view = make<V>();
    view->setTranslatesAutoresizingMaskIntoConstraints(false);
    parent->addSubview(view);
    return view;
}

void BM_SolveScreenAfterAnEdit(benchmark::State& state) {
    bool withLabels = state.range(0) != 0;
    auto root = make<UIView>(CGRectMake(0, 0, 375, 2000));
    Ref<UIView> previous = root;
    Ref<NSLayoutConstraint> first;
    for (int row = 0; row < 25; ++row) {
        Ref<UIView> text;
        if (withLabels) {
            auto label = constrained<UILabel>(root);
            label->setText(std::string("Row ").append(std::to_string(row)));
            text = label;
        } else {
            text = constrained<UIView>(root);
            relate(text, Attr::Height, nullptr, Attr::NotAnAttribute, 20);
        }
        auto badge = constrained<UIView>(root);
        auto top = relate(text, Attr::Top, previous, row == 0 ? Attr::Top : Attr::Bottom, 4);
        if (!first) first = top;
        relate(text, Attr::Left, root, Attr::Left, 15);
        relate(badge, Attr::Left, text, Attr::Right, 8);
        relate(badge, Attr::CenterY, text, Attr::CenterY);
        relate(badge, Attr::Width, nullptr, Attr::NotAnAttribute, 12);
        relate(badge, Attr::Height, badge, Attr::Width);
        relate(badge, Attr::Right, root, Attr::Right, -15, NSLayoutRelation::LessThanOrEqual);
        previous = text;
    }
    root->layoutIfNeeded();
    CGFloat constant = 4;
    for (auto _ : state) {
        first->setConstant(constant = constant == 4 ? 5 : 4);
        root->layoutIfNeeded();
    }
    benchmark::DoNotOptimize(previous->frame());
}
BENCHMARK(BM_SolveScreenAfterAnEdit)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_FittingSizeOfACell(benchmark::State& state) {
    auto contentView = make<UIView>();
    auto card = constrained<UIView>(contentView);
    auto icon = constrained<UIView>(card);
    auto title = constrained<UILabel>(card);
    title->setText("Game title");
    auto detail = constrained<UILabel>(card);
    detail->setNumberOfLines(0);
    detail->setText("A description long enough to wrap over two or three lines in a table row of a phone screen");
    relate(card, Attr::Left, contentView, Attr::Left, 20);
    relate(card, Attr::Right, contentView, Attr::Right, -20);
    relate(card, Attr::Top, contentView, Attr::Top, 10);
    relate(card, Attr::Bottom, contentView, Attr::Bottom);
    relate(icon, Attr::Left, card, Attr::Left, 14);
    relate(icon, Attr::Top, card, Attr::Top, 14);
    relate(icon, Attr::Width, nullptr, Attr::NotAnAttribute, 52);
    relate(icon, Attr::Height, icon, Attr::Width);
    relate(title, Attr::Left, icon, Attr::Right, 8);
    relate(title, Attr::Top, icon, Attr::Top);
    relate(detail, Attr::Left, title, Attr::Left);
    relate(detail, Attr::Right, card, Attr::Right, -14);
    relate(detail, Attr::Top, title, Attr::Bottom, 6);
    relate(card, Attr::Bottom, detail, Attr::Bottom, 14, NSLayoutRelation::GreaterThanOrEqual);
    relate(card, Attr::Bottom, icon, Attr::Bottom, 14, NSLayoutRelation::GreaterThanOrEqual);
    for (auto _ : state)
        benchmark::DoNotOptimize(contentView->systemLayoutSizeFittingSize(
            {375, 0}, UILayoutPriorityRequired, UILayoutPriorityFittingSizeLevel));
}
BENCHMARK(BM_FittingSizeOfACell)->Unit(benchmark::kMicrosecond);

}  // namespace
