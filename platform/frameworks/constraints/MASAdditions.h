#pragma once

#include <functional>
#include <vector>

#include "frameworks/constraints/ConstraintItem.h"
#include "frameworks/constraints/MASConstraintMaker.h"
#include "uikit/UIView.h"

// The view additions of the Objective-C-style DSL: the make/remake/update
// operations (see ConstraintClauseList), answering the constraints made,
// and a view's attributes as targets (`mas_bottom(other)`).
using MASViewAttribute = ConstraintItem;
using MASConstraintBlock = std::function<void(MASConstraintMaker& make)>;

std::vector<Ref<NSLayoutConstraint>> mas_makeConstraints(const Ref<UIView>& view, const MASConstraintBlock& block);
std::vector<Ref<NSLayoutConstraint>> mas_remakeConstraints(const Ref<UIView>& view, const MASConstraintBlock& block);
std::vector<Ref<NSLayoutConstraint>> mas_updateConstraints(const Ref<UIView>& view, const MASConstraintBlock& block);

MASViewAttribute mas_left(const Ref<UIView>& view);
MASViewAttribute mas_right(const Ref<UIView>& view);
MASViewAttribute mas_top(const Ref<UIView>& view);
MASViewAttribute mas_bottom(const Ref<UIView>& view);
MASViewAttribute mas_leading(const Ref<UIView>& view);
MASViewAttribute mas_trailing(const Ref<UIView>& view);
MASViewAttribute mas_width(const Ref<UIView>& view);
MASViewAttribute mas_height(const Ref<UIView>& view);
MASViewAttribute mas_centerX(const Ref<UIView>& view);
MASViewAttribute mas_centerY(const Ref<UIView>& view);
// The edges of the view's safe area.
MASViewAttribute mas_safeAreaLayoutGuideTop(const Ref<UIView>& view);
MASViewAttribute mas_safeAreaLayoutGuideBottom(const Ref<UIView>& view);
MASViewAttribute mas_safeAreaLayoutGuideLeft(const Ref<UIView>& view);
MASViewAttribute mas_safeAreaLayoutGuideRight(const Ref<UIView>& view);
