#pragma once

#include <functional>

#include "frameworks/constraints/ConstraintItem.h"
#include "frameworks/constraints/ConstraintMaker.h"
#include "frameworks/constraints/ConstraintPriority.h"
#include "uikit/UILayoutGuide.h"
#include "uikit/UIView.h"

// The attributes of a view or layout guide as targets: `snp(other).bottom`.
struct ConstraintItems {
    explicit ConstraintItems(const Ref<NSObject>& target);

    ConstraintItem left, right, top, bottom, leading, trailing, width, height, centerX, centerY, edges, size, center;
};

// `view.snp` of the Swift-style DSL: the view's attributes as targets and
// its make/remake/update/remove operations (see ConstraintClauseList).
class ConstraintViewDSL : public ConstraintItems {
public:
    using Block = std::function<void(ConstraintMaker& make)>;

    explicit ConstraintViewDSL(Ref<UIView> view) : ConstraintItems(view), view_(std::move(view)) {}

    void makeConstraints(const Block& block) const;
    void remakeConstraints(const Block& block) const;
    void updateConstraints(const Block& block) const;
    void removeConstraints() const;

private:
    void install(const Block& block, ConstraintClauseList::Installation installation) const;

    Ref<UIView> view_;
};

inline ConstraintViewDSL snp(const Ref<UIView>& view) { return ConstraintViewDSL(view); }
inline ConstraintItems snp(const Ref<UILayoutGuide>& guide) { return ConstraintItems(guide); }
