#include "app/team/KXRegistrationStatisticsCell.h"

void KXRegistrationStatisticsCell::setModel(const Ref<KXRegistrationStatisticsModel>& model) {
    model_ = model;
    if (const auto& m = model) showFields({m->username, m->phone, m->reg_gname, m->time});
}
