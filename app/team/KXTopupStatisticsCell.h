#pragma once

#include "app/team/KXTopupStatisticsModel.h"
#include "app/team/KXReportGridCell.h"

// A row of the top-up report.
class KXTopupStatisticsCell : public KXReportGridCell {
public:
    KXTopupStatisticsCell(UITableViewCellStyle style, std::string reuseIdentifier)
        : KXReportGridCell(style, std::move(reuseIdentifier), 5) {}

    const Ref<KXTopupStatisticsModel>& model() const { return model_; }
    void setModel(const Ref<KXTopupStatisticsModel>& model);

private:
    Ref<KXTopupStatisticsModel> model_;
};
