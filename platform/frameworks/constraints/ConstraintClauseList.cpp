#include "frameworks/constraints/ConstraintClauseList.h"

#include <algorithm>

#include "foundation/NSLog.h"
#include "frameworks/constraints/LayoutConstraint.h"

namespace {

bool matches(const NSLayoutConstraint& a, const NSLayoutConstraint& b) {
    return a.firstAttribute() == b.firstAttribute() && a.relation() == b.relation() &&
           a.secondItem() == b.secondItem() && a.secondAttribute() == b.secondAttribute() &&
           a.multiplier() == b.multiplier() && a.priority() == b.priority();
}

}  // namespace

std::size_t ConstraintClauseList::add(ConstraintAttributes attributes, NSLayoutRelation relation,
                                      ConstraintTarget target) {
    ConstraintClause clause;
    clause.attributes = attributes;
    clause.relation = relation;
    clause.target = std::move(target);
    clauses_.push_back(std::move(clause));
    return clauses_.size() - 1;
}

std::vector<Ref<NSLayoutConstraint>> ConstraintClauseList::makeConstraints() const {
    std::vector<Ref<NSLayoutConstraint>> made;
    for (const auto& clause : clauses_) {
        for (NSLayoutAttribute attribute : layoutAttributesOf(clause.attributes)) {
            Ref<NSObject> item;
            NSLayoutAttribute itemAttribute;
            if (!clause.target.relatedItem(view_, attribute, item, itemAttribute)) {
                NSLog("Constraint of " + view_->description() + " skipped: its target view or superview is missing");
                continue;
            }
            CGFloat constant = constantFor(clause.constant.value_or(clause.target.constant()), attribute);
            auto constraint = make<LayoutConstraint>(view_, attribute, clause.relation, item, itemAttribute,
                                                     item ? clause.multiplier : 1, constant);
            constraint->setPriority(clause.priority);
            made.push_back(constraint);
        }
    }
    return made;
}

std::vector<Ref<NSLayoutConstraint>> ConstraintClauseList::install(Installation installation) {
    view_->setTranslatesAutoresizingMaskIntoConstraints(false);
    if (installation == Installation::Remake) uninstallAll(view_);
    auto made = makeConstraints();
    if (installation != Installation::Update) {
        NSLayoutConstraint::activateConstraints(made);
        return made;
    }
    auto existing = installedConstraints(view_);
    std::vector<Ref<NSLayoutConstraint>> result;
    for (const auto& constraint : made) {
        auto match = std::find_if(existing.begin(), existing.end(),
                                  [&](const auto& old) { return matches(*old, *constraint); });
        if (match != existing.end()) {
            (*match)->setConstant(constraint->constant());
            result.push_back(*match);
        } else {
            constraint->setActive(true);
            result.push_back(constraint);
        }
    }
    return result;
}

std::vector<Ref<NSLayoutConstraint>> ConstraintClauseList::installedConstraints(const Ref<UIView>& view) {
    std::vector<Ref<NSLayoutConstraint>> found;
    // Installed on the view itself or on an ancestor (the common one).
    for (auto holder = view; holder; holder = holder->superview())
        for (const auto& constraint : holder->constraints())
            if (isKind<LayoutConstraint>(constraint) && constraint->firstItem() == view) found.push_back(constraint);
    return found;
}

void ConstraintClauseList::uninstallAll(const Ref<UIView>& view) {
    NSLayoutConstraint::deactivateConstraints(installedConstraints(view));
}
