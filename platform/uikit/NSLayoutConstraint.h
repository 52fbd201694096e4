#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"

class UIView;

// The edge, centre line or size of a view (or layout guide) that a
// constraint relates. Leading and trailing are left and right: text runs
// left to right.
enum class NSLayoutAttribute {
    NotAnAttribute,
    Left,
    Right,
    Top,
    Bottom,
    Leading,
    Trailing,
    Width,
    Height,
    CenterX,
    CenterY,
};

enum class NSLayoutRelation { LessThanOrEqual = -1, Equal = 0, GreaterThanOrEqual = 1 };

enum class UILayoutConstraintAxis { Horizontal = 0, Vertical = 1 };

// How much a constraint matters, 1 to 1000. Required ones (1000) hold
// exactly; lower ones are met as far as the required ones allow, higher
// priorities first.
using UILayoutPriority = float;
inline constexpr UILayoutPriority UILayoutPriorityRequired = 1000;
inline constexpr UILayoutPriority UILayoutPriorityDefaultHigh = 750;
inline constexpr UILayoutPriority UILayoutPriorityDefaultLow = 250;
inline constexpr UILayoutPriority UILayoutPriorityFittingSizeLevel = 50;

// One linear relation between two items' attributes:
//     firstItem.firstAttribute  (relation)  multiplier × secondItem.secondAttribute + constant
// or, without a second item, with a constant (a size, or a position in the
// first item's superview). Items are views or layout guides, held weakly.
//
// An active constraint is installed on the items' closest common ancestor
// (a view's `constraints()` are those installed on it) and takes part in the
// layout of its window's views; see UIView's constraint-layout members.
// Changing the constant or the priority of an active constraint lays the
// views out again.
class NSLayoutConstraint : public NSObject {
public:
    NSLayoutConstraint(const Ref<NSObject>& firstItem, NSLayoutAttribute firstAttribute, NSLayoutRelation relation,
                       const Ref<NSObject>& secondItem, NSLayoutAttribute secondAttribute, CGFloat multiplier,
                       CGFloat constant);

    static Ref<NSLayoutConstraint> constraintWithItem(const Ref<NSObject>& view1, NSLayoutAttribute attribute1,
                                                      NSLayoutRelation relation, const Ref<NSObject>& view2,
                                                      NSLayoutAttribute attribute2, CGFloat multiplier, CGFloat constant);
    static void activateConstraints(const std::vector<Ref<NSLayoutConstraint>>& constraints);
    static void deactivateConstraints(const std::vector<Ref<NSLayoutConstraint>>& constraints);

    Ref<NSObject> firstItem() const { return firstItem_.lock(); }
    NSLayoutAttribute firstAttribute() const { return firstAttribute_; }
    NSLayoutRelation relation() const { return relation_; }
    Ref<NSObject> secondItem() const { return secondItem_.lock(); }
    NSLayoutAttribute secondAttribute() const { return secondAttribute_; }
    // True when the constraint was made with a second item (alive or not).
    bool hasSecondItem() const { return hasSecondItem_; }
    CGFloat multiplier() const { return multiplier_; }
    CGFloat constant() const { return constant_; }
    void setConstant(CGFloat constant);
    UILayoutPriority priority() const { return priority_; }
    void setPriority(UILayoutPriority priority);
    const std::string& identifier() const { return identifier_; }
    void setIdentifier(std::string identifier) { identifier_ = std::move(identifier); }

    // Activating installs the constraint on the items' closest common
    // ancestor; without one it stays inactive and a line is logged.
    bool isActive() const { return active_; }
    void setActive(bool active);

    // "<NSLayoutConstraint: 0x...; UILabel:0x....left == UIView:0x....left + 10>"
    std::string description() const override;

private:
    friend class UIView;
    friend class LayoutEngine;
    friend class LayoutIsland;
    friend class ConstraintSystem;

    WeakRef<NSObject> firstItem_;
    NSLayoutAttribute firstAttribute_;
    NSLayoutRelation relation_;
    WeakRef<NSObject> secondItem_;
    NSLayoutAttribute secondAttribute_;
    bool hasSecondItem_;
    CGFloat multiplier_;
    CGFloat constant_;
    UILayoutPriority priority_ = UILayoutPriorityRequired;
    std::string identifier_;
    bool active_ = false;
    // Set by the view it is installed on.
    WeakRef<UIView> container_;
    // When it was last activated: of two conflicting required constraints,
    // the later one is broken.
    std::uint64_t activationOrder_ = 0;
    bool conflictReported_ = false;
};
