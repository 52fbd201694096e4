#include "frameworks/constraints/ConstraintViewDSL.h"

ConstraintItems::ConstraintItems(const Ref<NSObject>& target)
    : left{target, ConstraintAttributesLeft},
      right{target, ConstraintAttributesRight},
      top{target, ConstraintAttributesTop},
      bottom{target, ConstraintAttributesBottom},
      leading{target, ConstraintAttributesLeading},
      trailing{target, ConstraintAttributesTrailing},
      width{target, ConstraintAttributesWidth},
      height{target, ConstraintAttributesHeight},
      centerX{target, ConstraintAttributesCenterX},
      centerY{target, ConstraintAttributesCenterY},
      edges{target, ConstraintAttributesEdges},
      size{target, ConstraintAttributesSize},
      center{target, ConstraintAttributesCenter} {}

void ConstraintViewDSL::install(const Block& block, ConstraintClauseList::Installation installation) const {
    if (!view_) return;
    ConstraintClauseList list(view_);
    ConstraintMaker maker(&list);
    if (block) block(maker);
    list.install(installation);
}

void ConstraintViewDSL::makeConstraints(const Block& block) const {
    install(block, ConstraintClauseList::Installation::Make);
}

void ConstraintViewDSL::remakeConstraints(const Block& block) const {
    install(block, ConstraintClauseList::Installation::Remake);
}

void ConstraintViewDSL::updateConstraints(const Block& block) const {
    install(block, ConstraintClauseList::Installation::Update);
}

void ConstraintViewDSL::removeConstraints() const {
    if (view_) ConstraintClauseList::uninstallAll(view_);
}
