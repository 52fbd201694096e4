#include "app/team/KXRoleSummaryViewCell.h"

void KXRoleSummaryViewCell::setModel(const Ref<KXRoleSummaryModel>& model) {
    model_ = model;
    if (const auto& m = model) showFields({m->username, m->game, m->role_name, m->level, m->member});
}
