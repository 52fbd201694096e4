#pragma once

#include "app/team/KXRegistrationStatisticsModel.h"
#include "app/team/KXReportGridCell.h"

// A row of the registration report.
class KXRegistrationStatisticsCell : public KXReportGridCell {
public:
    KXRegistrationStatisticsCell(UITableViewCellStyle style, std::string reuseIdentifier)
        : KXReportGridCell(style, std::move(reuseIdentifier), 4) {}

    const Ref<KXRegistrationStatisticsModel>& model() const { return model_; }
    void setModel(const Ref<KXRegistrationStatisticsModel>& model);

private:
    Ref<KXRegistrationStatisticsModel> model_;
};
