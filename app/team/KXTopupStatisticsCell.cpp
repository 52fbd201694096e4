#include "app/team/KXTopupStatisticsCell.h"

void KXTopupStatisticsCell::setModel(const Ref<KXTopupStatisticsModel>& model) {
    model_ = model;
    if (const auto& m = model) showFields({m->username, m->gname, m->money, m->paymoney, m->time});
}
