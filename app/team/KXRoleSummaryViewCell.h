#pragma once

#include "app/team/KXRoleSummaryModel.h"
#include "app/team/KXReportGridCell.h"

// A row of the role report.
class KXRoleSummaryViewCell : public KXReportGridCell {
public:
    KXRoleSummaryViewCell(UITableViewCellStyle style, std::string reuseIdentifier)
        : KXReportGridCell(style, std::move(reuseIdentifier), 5) {}

    const Ref<KXRoleSummaryModel>& model() const { return model_; }
    void setModel(const Ref<KXRoleSummaryModel>& model);

private:
    Ref<KXRoleSummaryModel> model_;
};
