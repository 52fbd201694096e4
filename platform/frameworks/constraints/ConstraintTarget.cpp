#include "frameworks/constraints/ConstraintTarget.h"

CGFloat constantFor(const ConstraintConstant& constant, NSLayoutAttribute attribute) {
    using A = NSLayoutAttribute;
    if (auto* number = std::get_if<CGFloat>(&constant)) return *number;
    if (auto* size = std::get_if<CGSize>(&constant))
        return attribute == A::Width ? size->width : attribute == A::Height ? size->height : 0;
    if (auto* point = std::get_if<CGPoint>(&constant)) {
        switch (attribute) {
        case A::Left:
        case A::Right:
        case A::Leading:
        case A::Trailing:
        case A::CenterX: return point->x;
        case A::Top:
        case A::Bottom:
        case A::CenterY: return point->y;
        default: return 0;
        }
    }
    const auto& insets = std::get<UIEdgeInsets>(constant);
    switch (attribute) {
    case A::Left:
    case A::Leading: return insets.left;
    case A::Top: return insets.top;
    case A::Right:
    case A::Trailing: return -insets.right;
    case A::Bottom: return -insets.bottom;
    case A::CenterX: return (insets.left - insets.right) / 2;
    case A::CenterY: return (insets.top - insets.bottom) / 2;
    case A::Width: return -(insets.left + insets.right);
    case A::Height: return -(insets.top + insets.bottom);
    default: return 0;
    }
}

ConstraintTarget ConstraintTarget::superview() { return ConstraintTarget(Kind::Superview); }

bool ConstraintTarget::relatedItem(const Ref<UIView>& view, NSLayoutAttribute attribute, Ref<NSObject>& item,
                                   NSLayoutAttribute& itemAttribute) const {
    itemAttribute = attribute;
    if (kind_ == Kind::Item) {
        item = item_.target;
        if (!item) return false;
        // An item of one attribute gives it to every attribute of the clause.
        auto attributes = layoutAttributesOf(item_.attributes);
        if (attributes.size() == 1) itemAttribute = attributes.front();
        return true;
    }
    bool sizeConstant = kind_ == Kind::Constant && (attribute == NSLayoutAttribute::Width || attribute == NSLayoutAttribute::Height);
    if (sizeConstant) {
        item = nullptr;
        itemAttribute = NSLayoutAttribute::NotAnAttribute;
        return true;
    }
    item = view->superview();
    return item != nullptr;
}
