#include "frameworks/constraints/MASAdditions.h"

#include "uikit/UILayoutGuide.h"

namespace {

std::vector<Ref<NSLayoutConstraint>> install(const Ref<UIView>& view, const MASConstraintBlock& block,
                                             ConstraintClauseList::Installation installation) {
    if (!view) return {};
    ConstraintClauseList list(view);
    MASConstraintMaker maker(&list);
    if (block) block(maker);
    return list.install(installation);
}

MASViewAttribute safeArea(const Ref<UIView>& view, ConstraintAttributes attribute) {
    return {view ? view->safeAreaLayoutGuide() : nullptr, attribute};
}

}  // namespace

std::vector<Ref<NSLayoutConstraint>> mas_makeConstraints(const Ref<UIView>& view, const MASConstraintBlock& block) {
    return install(view, block, ConstraintClauseList::Installation::Make);
}

std::vector<Ref<NSLayoutConstraint>> mas_remakeConstraints(const Ref<UIView>& view, const MASConstraintBlock& block) {
    return install(view, block, ConstraintClauseList::Installation::Remake);
}

std::vector<Ref<NSLayoutConstraint>> mas_updateConstraints(const Ref<UIView>& view, const MASConstraintBlock& block) {
    return install(view, block, ConstraintClauseList::Installation::Update);
}

MASViewAttribute mas_left(const Ref<UIView>& view) { return {view, ConstraintAttributesLeft}; }
MASViewAttribute mas_right(const Ref<UIView>& view) { return {view, ConstraintAttributesRight}; }
MASViewAttribute mas_top(const Ref<UIView>& view) { return {view, ConstraintAttributesTop}; }
MASViewAttribute mas_bottom(const Ref<UIView>& view) { return {view, ConstraintAttributesBottom}; }
MASViewAttribute mas_leading(const Ref<UIView>& view) { return {view, ConstraintAttributesLeading}; }
MASViewAttribute mas_trailing(const Ref<UIView>& view) { return {view, ConstraintAttributesTrailing}; }
MASViewAttribute mas_width(const Ref<UIView>& view) { return {view, ConstraintAttributesWidth}; }
MASViewAttribute mas_height(const Ref<UIView>& view) { return {view, ConstraintAttributesHeight}; }
MASViewAttribute mas_centerX(const Ref<UIView>& view) { return {view, ConstraintAttributesCenterX}; }
MASViewAttribute mas_centerY(const Ref<UIView>& view) { return {view, ConstraintAttributesCenterY}; }
MASViewAttribute mas_safeAreaLayoutGuideTop(const Ref<UIView>& view) { return safeArea(view, ConstraintAttributesTop); }
MASViewAttribute mas_safeAreaLayoutGuideBottom(const Ref<UIView>& view) {
    return safeArea(view, ConstraintAttributesBottom);
}
MASViewAttribute mas_safeAreaLayoutGuideLeft(const Ref<UIView>& view) { return safeArea(view, ConstraintAttributesLeft); }
MASViewAttribute mas_safeAreaLayoutGuideRight(const Ref<UIView>& view) {
    return safeArea(view, ConstraintAttributesRight);
}
