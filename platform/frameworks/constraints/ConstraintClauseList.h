#pragma once

#include <vector>

#include "frameworks/constraints/ConstraintClause.h"
#include "uikit/UIView.h"

// The clauses a make-constraints block gathers for one view, and how they
// are installed. Both constraint DSLs build on it.
//
// Installing turns the view's translatesAutoresizingMaskIntoConstraints off
// and makes one constraint per attribute of each clause, activated (so
// installed on the closest common ancestor). A clause whose target cannot be
// found (no superview, a null view) is logged and skipped.
// - Make adds them to what the view has.
// - Remake first removes the constraints the DSLs made for the view.
// - Update changes the constant of a DSL-made constraint of the view that
//   matches (same attribute, relation, second item and attribute,
//   multiplier and priority) and adds those that match none.
class ConstraintClauseList {
public:
    enum class Installation { Make, Remake, Update };

    explicit ConstraintClauseList(Ref<UIView> view) : view_(std::move(view)) {}

    // Answers the new clause's index.
    std::size_t add(ConstraintAttributes attributes, NSLayoutRelation relation, ConstraintTarget target);
    ConstraintClause& operator[](std::size_t index) { return clauses_[index]; }

    // Answers the constraints made (updated ones included).
    std::vector<Ref<NSLayoutConstraint>> install(Installation installation);

    // The active DSL-made constraints whose first item is the view.
    static std::vector<Ref<NSLayoutConstraint>> installedConstraints(const Ref<UIView>& view);
    static void uninstallAll(const Ref<UIView>& view);

private:
    std::vector<Ref<NSLayoutConstraint>> makeConstraints() const;

    Ref<UIView> view_;
    std::vector<ConstraintClause> clauses_;
};
