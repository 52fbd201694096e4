#include "uikit/NSLayoutConstraint.h"

#include <cstdio>

#include "foundation/NSLog.h"
#include "uikit/LayoutEngine.h"
#include "uikit/UIView.h"

namespace {

const char* nameOf(NSLayoutAttribute attribute) {
    switch (attribute) {
    case NSLayoutAttribute::Left: return "left";
    case NSLayoutAttribute::Right: return "right";
    case NSLayoutAttribute::Top: return "top";
    case NSLayoutAttribute::Bottom: return "bottom";
    case NSLayoutAttribute::Leading: return "leading";
    case NSLayoutAttribute::Trailing: return "trailing";
    case NSLayoutAttribute::Width: return "width";
    case NSLayoutAttribute::Height: return "height";
    case NSLayoutAttribute::CenterX: return "centerX";
    case NSLayoutAttribute::CenterY: return "centerY";
    default: return "notAnAttribute";
    }
}

// "UILabel:0x5611f0.left"
std::string operandOf(const Ref<NSObject>& item, NSLayoutAttribute attribute) {
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(item.get()));
    return (item ? item->className() : std::string("(null)")) + ":" + address + "." + nameOf(attribute);
}

std::string number(CGFloat value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace

NSLayoutConstraint::NSLayoutConstraint(const Ref<NSObject>& firstItem, NSLayoutAttribute firstAttribute,
                                       NSLayoutRelation relation, const Ref<NSObject>& secondItem,
                                       NSLayoutAttribute secondAttribute, CGFloat multiplier, CGFloat constant)
    : firstItem_(firstItem),
      firstAttribute_(firstAttribute),
      relation_(relation),
      secondItem_(secondItem),
      secondAttribute_(secondItem ? secondAttribute : NSLayoutAttribute::NotAnAttribute),
      hasSecondItem_(secondItem != nullptr),
      multiplier_(multiplier),
      constant_(constant) {}

Ref<NSLayoutConstraint> NSLayoutConstraint::constraintWithItem(const Ref<NSObject>& view1, NSLayoutAttribute attribute1,
                                                               NSLayoutRelation relation, const Ref<NSObject>& view2,
                                                               NSLayoutAttribute attribute2, CGFloat multiplier,
                                                               CGFloat constant) {
    return make<NSLayoutConstraint>(view1, attribute1, relation, view2, attribute2, multiplier, constant);
}

void NSLayoutConstraint::activateConstraints(const std::vector<Ref<NSLayoutConstraint>>& constraints) {
    for (const auto& constraint : constraints)
        if (constraint) constraint->setActive(true);
}

void NSLayoutConstraint::deactivateConstraints(const std::vector<Ref<NSLayoutConstraint>>& constraints) {
    for (const auto& constraint : constraints)
        if (constraint) constraint->setActive(false);
}

void NSLayoutConstraint::setConstant(CGFloat constant) {
    if (constant == constant_) return;
    constant_ = constant;
    if (active_) LayoutEngine::constraintChanged(*this);
}

void NSLayoutConstraint::setPriority(UILayoutPriority priority) {
    if (priority == priority_) return;
    priority_ = priority;
    if (active_) LayoutEngine::constraintChanged(*this);
}

void NSLayoutConstraint::setActive(bool active) {
    if (active == active_) return;
    auto self = this->self<NSLayoutConstraint>();
    if (!active) {
        if (auto container = container_.lock()) container->removeConstraint(self);
        return;
    }
    auto container = LayoutEngine::commonContainer(firstItem(), secondItem());
    if (!container) {
        NSLog("Unable to activate constraint with items that have no common ancestor: " + description());
        return;
    }
    container->addConstraint(self);
}

std::string NSLayoutConstraint::description() const {
    std::string text = NSObject::description();
    text.pop_back();
    text += "; " + operandOf(firstItem(), firstAttribute_);
    text += relation_ == NSLayoutRelation::Equal ? " == " : relation_ == NSLayoutRelation::LessThanOrEqual ? " <= " : " >= ";
    bool hasOperand = secondAttribute_ != NSLayoutAttribute::NotAnAttribute;
    if (hasOperand) {
        if (multiplier_ != 1) text += number(multiplier_) + "*";
        text += operandOf(secondItem(), secondAttribute_);
        if (constant_ != 0) text += (constant_ < 0 ? " - " : " + ") + number(constant_ < 0 ? -constant_ : constant_);
    } else {
        text += number(constant_);
    }
    if (priority_ != UILayoutPriorityRequired) text += " @" + number(priority_);
    return text + ">";
}
