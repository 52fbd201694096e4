#pragma once

#include <concepts>
#include <variant>

#include "foundation/NSObject.h"
#include "frameworks/constraints/ConstraintItem.h"
#include "graphics/UIEdgeInsets.h"
#include "uikit/UILayoutGuide.h"
#include "uikit/UIView.h"

// A constant of a clause: one number for every attribute, or a size, point
// or insets read per attribute (a size's width for the width; an inset's
// right as a negative constant for the right edge, and so on).
using ConstraintConstant = std::variant<CGFloat, CGSize, CGPoint, UIEdgeInsets>;
CGFloat constantFor(const ConstraintConstant& constant, NSLayoutAttribute attribute);

// What a clause relates its attributes to: a view or guide (the same
// attributes of it), an item (the item's attribute), the superview, or a
// constant (a size for size attributes; for edges and centres, that much
// from the same attribute of the superview).
class ConstraintTarget {
public:
    template <class View>
        requires std::derived_from<View, UIView>
    ConstraintTarget(const Ref<View>& view) : kind_(Kind::Item), item_{view, ConstraintAttributesNone} {}
    ConstraintTarget(const Ref<UILayoutGuide>& guide) : kind_(Kind::Item), item_{guide, ConstraintAttributesNone} {}
    ConstraintTarget(ConstraintItem item) : kind_(Kind::Item), item_(std::move(item)) {}
    ConstraintTarget(CGFloat constant) : constant_(constant) {}
    ConstraintTarget(CGSize constant) : constant_(constant) {}
    ConstraintTarget(CGPoint constant) : constant_(constant) {}
    ConstraintTarget(UIEdgeInsets constant) : constant_(constant) {}
    static ConstraintTarget superview();

    // The item and attribute that `attribute` of `view` relates to; a null
    // item for a size constant. False when there is no such item (no
    // superview, a null view).
    bool relatedItem(const Ref<UIView>& view, NSLayoutAttribute attribute, Ref<NSObject>& item,
                     NSLayoutAttribute& itemAttribute) const;
    const ConstraintConstant& constant() const { return constant_; }

private:
    enum class Kind { Item, Superview, Constant };
    explicit ConstraintTarget(Kind kind) : kind_(kind) {}

    Kind kind_ = Kind::Constant;
    ConstraintItem item_;
    ConstraintConstant constant_ = CGFloat(0);
};
