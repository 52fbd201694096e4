#pragma once

#include <optional>
#include <string>
#include <vector>

#include "uikit/UITableViewCell.h"

// A row of the report grids: n equal columns of centred text, 58 pt high,
// on a light grey ground between grid lines that continue those of the
// column header row above the table.
class KXReportGridCell : public UITableViewCell {
public:
    static constexpr CGFloat kHeight = 58;

    KXReportGridCell(UITableViewCellStyle style, std::string reuseIdentifier, std::size_t columns)
        : UITableViewCell(style, std::move(reuseIdentifier)), columns_(columns) {}

    // The column labels, in column order.
    const std::vector<Ref<UILabel>>& labelMuArr() const { return labelMuArr_; }

protected:
    void didCreate() override;
    // Puts the row's fields into the columns, in order; absent ones show nothing.
    void showFields(const std::vector<std::optional<std::string>>& fields);

private:
    void setupUI();

    std::size_t columns_;
    std::vector<Ref<UILabel>> labelMuArr_;
};
