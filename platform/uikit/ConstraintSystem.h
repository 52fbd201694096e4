#pragma once

#include <optional>
#include <unordered_map>
#include <vector>

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"
#include "uikit/NSLayoutConstraint.h"
#include "uikit/SimplexSolver.h"

class UILabel;
class UIView;

// One solve of a set of constraints. Every constrained view the constraints
// reach gets unknowns for its frame (origin in its superview's space, size);
// frame-placed views are read as they are. The constrained views' intrinsic
// sizes join as inequalities at their hugging and compression-resistance
// priorities (measured once and kept until the view invalidates its
// intrinsic size), and multi-line labels are measured again at the width the
// solution gives them until their heights settle.
//
// Required constraints are added in activation order; one that conflicts
// with those before it is left out and logged (once per constraint).
class ConstraintSystem {
public:
    // `fittingRoot` is solved for even though it is placed by its frame.
    explicit ConstraintSystem(const UIView* fittingRoot = nullptr) : fittingRoot_(fittingRoot) {}

    // Add in activation order.
    void add(const Ref<NSLayoutConstraint>& constraint);
    // Pulls the fitting root's size towards `target` with these priorities.
    void fitRootTo(CGSize target, UILayoutPriority horizontalPriority, UILayoutPriority verticalPriority);
    void solve();

    struct Placement {
        Ref<UIView> view;
        CGRect frame;
    };
    // The solved frames of the constrained views, in the order first met.
    const std::vector<Placement>& placements() const { return placements_; }
    std::optional<CGRect> frameOf(const UIView* view) const;

private:
    struct Expression {
        double constant = 0;
        std::vector<SimplexSolver::Term> terms;
    };
    // A constrained view's unknowns: x, y, width, height.
    struct Unknowns {
        Ref<UIView> view;
        std::optional<SimplexSolver::Variable> variables[4];
    };
    enum Part { OriginX, OriginY, Width, Height };

    // One round: builds the solver, solves, reads the frames. Answers the
    // required constraints that had to be left out.
    std::vector<Ref<NSLayoutConstraint>> solveOnce();
    // Measures labels again at their solved widths; true when one changed.
    bool remeasureWrappingLabels();
    std::optional<Expression> expressionOf(const NSLayoutConstraint& constraint);
    bool addAttribute(Expression& expression, const Ref<NSObject>& item, NSLayoutAttribute attribute,
                      const UIView* space, double factor);
    bool addOrigin(Expression& expression, const Ref<NSObject>& item, int axis, const UIView* space, double factor);
    void addLength(Expression& expression, const Ref<NSObject>& item, int axis, double factor);
    void addFrameValue(Expression& expression, const Ref<UIView>& view, Part part, double factor);
    bool isConstrained(const UIView& view) const;
    SimplexSolver::Variable variable(const Ref<UIView>& view, Part part);
    void addIntrinsicSize(Unknowns& unknowns);
    // The view's intrinsic size, measured once until the view invalidates it.
    static CGSize intrinsicSizeOf(UIView& view);
    // Labels of several lines without a preferred width wrap at their bounds.
    static bool wrapsAtItsWidth(UILabel& label);
    static CGSize measureAtWidth(UILabel& label, CGFloat width);

    const UIView* fittingRoot_;
    struct Fit {
        CGSize target;
        UILayoutPriority priorities[2];
    };
    std::optional<Fit> fit_;
    std::vector<Ref<NSLayoutConstraint>> constraints_;
    SimplexSolver solver_;
    std::vector<Unknowns> unknowns_;
    std::unordered_map<const UIView*, std::size_t> unknownsIndex_;
    std::vector<Placement> placements_;
};
