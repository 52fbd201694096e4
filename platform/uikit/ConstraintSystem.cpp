#include "uikit/ConstraintSystem.h"

#include <algorithm>
#include <cmath>

#include "foundation/NSLog.h"
#include "uikit/LayoutEngine.h"
#include "uikit/UILabel.h"
#include "uikit/UILayoutGuide.h"
#include "uikit/UIView.h"
#include "uikit/ViewConstraintState.h"

namespace {

constexpr int kHorizontal = 0, kVertical = 1;
// Labels are measured again at most this many times per solve.
constexpr int kMaxRounds = 4;

// Priorities become weights that grow by a factor of two every 50 points, so
// that a higher priority outweighs a lower one by far more than the handful
// of lower ones a layout sets against it.
double strengthOf(UILayoutPriority priority) {
    if (priority >= UILayoutPriorityRequired) return SimplexSolver::Required;
    return std::exp2(std::max(priority, 1.0f) / 50.0);
}

bool isSizeAttribute(NSLayoutAttribute attribute) {
    return attribute == NSLayoutAttribute::Width || attribute == NSLayoutAttribute::Height;
}

int axisOf(NSLayoutAttribute attribute) {
    switch (attribute) {
    case NSLayoutAttribute::Top:
    case NSLayoutAttribute::Bottom:
    case NSLayoutAttribute::Height:
    case NSLayoutAttribute::CenterY: return kVertical;
    default: return kHorizontal;
    }
}

// Solver values come back with rounding noise; whole and simple fractional
// points are snapped to exactly.
CGFloat snapped(double value) {
    double grid = std::round(value * 64) / 64;
    return std::fabs(value - grid) < 1e-7 ? grid : value;
}

SimplexSolver::Relation relationOf(NSLayoutRelation relation) {
    switch (relation) {
    case NSLayoutRelation::LessThanOrEqual: return SimplexSolver::Relation::LessThanOrEqual;
    case NSLayoutRelation::GreaterThanOrEqual: return SimplexSolver::Relation::GreaterThanOrEqual;
    default: return SimplexSolver::Relation::Equal;
    }
}

CGFloat originOf(CGRect frame, int axis) { return axis == kHorizontal ? frame.origin.x : frame.origin.y; }
CGFloat lengthOf(CGSize size, int axis) { return axis == kHorizontal ? size.width : size.height; }

}  // namespace

void ConstraintSystem::add(const Ref<NSLayoutConstraint>& constraint) {
    if (constraint) constraints_.push_back(constraint);
}

void ConstraintSystem::fitRootTo(CGSize target, UILayoutPriority horizontalPriority,
                                 UILayoutPriority verticalPriority) {
    fit_ = Fit{target, {horizontalPriority, verticalPriority}};
}

void ConstraintSystem::solve() {
    std::vector<Ref<NSLayoutConstraint>> broken;
    for (int round = 0; round < kMaxRounds; ++round) {
        broken = solveOnce();
        if (!remeasureWrappingLabels()) break;
    }
    for (const auto& constraint : broken) {
        if (constraint->conflictReported_) continue;
        constraint->conflictReported_ = true;
        NSLog("Unable to simultaneously satisfy constraints. Will attempt to recover by breaking constraint " +
              constraint->description());
    }
}

std::vector<Ref<NSLayoutConstraint>> ConstraintSystem::solveOnce() {
    solver_ = SimplexSolver();
    unknowns_.clear();
    unknownsIndex_.clear();
    std::vector<Ref<NSLayoutConstraint>> broken;
    for (const auto& constraint : constraints_) {
        auto expression = expressionOf(*constraint);
        if (!expression) continue;
        if (!solver_.addConstraint(expression->terms, expression->constant, relationOf(constraint->relation()),
                                   strengthOf(constraint->priority())))
            broken.push_back(constraint);
    }
    if (fit_ && fittingRoot_) {
        Ref<UIView> root = std::const_pointer_cast<UIView>(fittingRoot_->self<UIView>());
        for (int axis : {kHorizontal, kVertical}) {
            SimplexSolver::Term term{variable(root, axis == kHorizontal ? Width : Height), 1};
            solver_.addConstraint({&term, 1}, -lengthOf(fit_->target, axis), SimplexSolver::Relation::Equal,
                                  strengthOf(fit_->priorities[axis]));
        }
    }
    // Adding intrinsic sizes makes no new unknowns, so indices stay valid.
    for (std::size_t i = 0; i < unknowns_.size(); ++i) addIntrinsicSize(unknowns_[i]);
    solver_.solve();

    placements_.clear();
    for (const auto& unknowns : unknowns_) {
        CGRect frame = unknowns.view->frame();
        auto valueOr = [&](Part part, CGFloat current) {
            return unknowns.variables[part] ? snapped(solver_.value(*unknowns.variables[part])) : current;
        };
        frame.origin.x = valueOr(OriginX, frame.origin.x);
        frame.origin.y = valueOr(OriginY, frame.origin.y);
        frame.size.width = std::max(0.0, valueOr(Width, frame.size.width));
        frame.size.height = std::max(0.0, valueOr(Height, frame.size.height));
        placements_.push_back({unknowns.view, frame});
    }
    return broken;
}

std::optional<CGRect> ConstraintSystem::frameOf(const UIView* view) const {
    for (const auto& placement : placements_)
        if (placement.view.get() == view) return placement.frame;
    return std::nullopt;
}

bool ConstraintSystem::isConstrained(const UIView& view) const {
    if (&view == fittingRoot_) return true;
    auto* state = view.existingConstraintState();
    return state && !state->translatesAutoresizingMaskIntoConstraints;
}

SimplexSolver::Variable ConstraintSystem::variable(const Ref<UIView>& view, Part part) {
    auto [at, inserted] = unknownsIndex_.try_emplace(view.get(), unknowns_.size());
    if (inserted) unknowns_.push_back({view, {}});
    auto& slot = unknowns_[at->second].variables[part];
    if (!slot) slot = solver_.newVariable();
    return *slot;
}

// --- Expressions ---

std::optional<ConstraintSystem::Expression> ConstraintSystem::expressionOf(const NSLayoutConstraint& constraint) {
    Ref<NSObject> first = constraint.firstItem();
    Ref<UIView> firstView = LayoutEngine::viewOfItem(first);
    NSLayoutAttribute firstAttribute = constraint.firstAttribute();
    if (!firstView || firstAttribute == NSLayoutAttribute::NotAnAttribute) return std::nullopt;
    Ref<NSObject> second = constraint.secondItem();
    if (constraint.hasSecondItem() && !second) return std::nullopt;
    bool related = second && constraint.secondAttribute() != NSLayoutAttribute::NotAnAttribute;

    // The space both sides are written in.
    Ref<UIView> space;
    if (related)
        space = LayoutEngine::commonContainer(first, second);
    else if (isSizeAttribute(firstAttribute))
        space = firstView;
    else  // a position without a second item: in the superview (a guide's: its owner)
        space = first == firstView ? firstView->superview() : firstView;
    if (!space) return std::nullopt;

    Expression expression;
    if (!addAttribute(expression, first, firstAttribute, space.get(), 1)) return std::nullopt;
    if (related && !addAttribute(expression, second, constraint.secondAttribute(), space.get(), -constraint.multiplier()))
        return std::nullopt;
    expression.constant -= constraint.constant();
    return expression;
}

bool ConstraintSystem::addAttribute(Expression& expression, const Ref<NSObject>& item, NSLayoutAttribute attribute,
                                    const UIView* space, double factor) {
    int axis = axisOf(attribute);
    switch (attribute) {
    case NSLayoutAttribute::Width:
    case NSLayoutAttribute::Height: addLength(expression, item, axis, factor); return true;
    case NSLayoutAttribute::Right:
    case NSLayoutAttribute::Trailing:
    case NSLayoutAttribute::Bottom: addLength(expression, item, axis, factor); break;
    case NSLayoutAttribute::CenterX:
    case NSLayoutAttribute::CenterY: addLength(expression, item, axis, factor / 2); break;
    default: break;
    }
    return addOrigin(expression, item, axis, space, factor);
}

bool ConstraintSystem::addOrigin(Expression& expression, const Ref<NSObject>& item, int axis, const UIView* space,
                                 double factor) {
    Ref<UIView> view = LayoutEngine::viewOfItem(item);
    if (auto guide = cast<UILayoutGuide>(item)) expression.constant += factor * originOf(guide->layoutFrame(), axis);
    for (; view.get() != space; view = view->superview()) {
        if (!view) return false;
        addFrameValue(expression, view, axis == kHorizontal ? OriginX : OriginY, factor);
    }
    return true;
}

void ConstraintSystem::addLength(Expression& expression, const Ref<NSObject>& item, int axis, double factor) {
    Ref<UIView> view = LayoutEngine::viewOfItem(item);
    if (auto guide = cast<UILayoutGuide>(item)) {
        // The owner's length less the insets at both ends.
        CGRect frame = guide->layoutFrame();
        CGFloat insets = lengthOf(view->bounds().size, axis) - lengthOf(frame.size, axis);
        expression.constant -= factor * insets;
    }
    addFrameValue(expression, view, axis == kHorizontal ? Width : Height, factor);
}

void ConstraintSystem::addFrameValue(Expression& expression, const Ref<UIView>& view, Part part, double factor) {
    if (isConstrained(*view)) {
        expression.terms.push_back({variable(view, part), factor});
        return;
    }
    CGRect frame = view->frame();
    switch (part) {
    case OriginX: expression.constant += factor * frame.origin.x; break;
    case OriginY: expression.constant += factor * frame.origin.y; break;
    case Width: expression.constant += factor * frame.size.width; break;
    case Height: expression.constant += factor * frame.size.height; break;
    }
}

// --- Intrinsic sizes ---

CGSize ConstraintSystem::intrinsicSizeOf(UIView& view) {
    auto& measured = view.constraintState().intrinsicSize;
    if (measured) return measured->size;
    // A wrapping label is first measured on one line, as a new one is, so
    // that a longer text can widen it; it is measured again at the width
    // solved (remeasureWrappingLabels).
    auto* label = dynamic_cast<UILabel*>(&view);
    if (label && wrapsAtItsWidth(*label)) measured = ViewConstraintState::Measurement{measureAtWidth(*label, 0), 0};
    else measured = ViewConstraintState::Measurement{view.intrinsicContentSize(), view.bounds().size.width};
    return measured->size;
}

void ConstraintSystem::addIntrinsicSize(Unknowns& unknowns) {
    CGSize size = intrinsicSizeOf(*unknowns.view);
    for (int axis : {kHorizontal, kVertical}) {
        CGFloat length = lengthOf(size, axis);
        if (length == UIViewNoIntrinsicMetric) continue;
        auto constraintAxis = static_cast<UILayoutConstraintAxis>(axis);
        SimplexSolver::Term term{variable(unknowns.view, axis == kHorizontal ? Width : Height), 1};
        solver_.addConstraint({&term, 1}, -length, SimplexSolver::Relation::GreaterThanOrEqual,
                              strengthOf(unknowns.view->contentCompressionResistancePriorityForAxis(constraintAxis)));
        solver_.addConstraint({&term, 1}, -length, SimplexSolver::Relation::LessThanOrEqual,
                              strengthOf(unknowns.view->contentHuggingPriorityForAxis(constraintAxis)));
    }
}

bool ConstraintSystem::wrapsAtItsWidth(UILabel& label) {
    return label.numberOfLines() != 1 && label.preferredMaxLayoutWidth() <= 0;
}

// The label's intrinsic size with its bounds set to `width` just for the
// measurement.
CGSize ConstraintSystem::measureAtWidth(UILabel& label, CGFloat width) {
    auto layer = label.layer();
    CGRect bounds = layer->bounds();
    layer->setBounds({bounds.origin, {width, bounds.size.height}});
    CGSize size = label.intrinsicContentSize();
    layer->setBounds(bounds);
    return size;
}

// A label that wraps at its own width has a height that depends on the
// width it is given: measure it at the solved width (its bounds are set to
// that width just for the measurement).
bool ConstraintSystem::remeasureWrappingLabels() {
    bool changed = false;
    for (const auto& placement : placements_) {
        auto* label = dynamic_cast<UILabel*>(placement.view.get());
        if (!label || !wrapsAtItsWidth(*label)) continue;
        auto& measured = label->constraintState().intrinsicSize;
        if (!measured || measured->size.width == UIViewNoIntrinsicMetric) continue;
        CGFloat width = placement.frame.size.width;
        if (std::fabs(width - measured->atWidth) < 1e-6) continue;
        CGSize size = measureAtWidth(*label, width);
        if (!(size == measured->size)) changed = true;
        measured = ViewConstraintState::Measurement{size, width};
    }
    return changed;
}
