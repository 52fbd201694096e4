#include "app/team/KXDividedintoProportionViewController.h"

#include "app/team/KXDividedintoProportionCell.h"

namespace {

KXPagedListViewController::Cells shareRowCells() {
    return {[](const std::string& identifier) {
                return make<KXDividedintoProportionCell>(UITableViewCellStyle::Default, identifier);
            },
            [](const Ref<UITableViewCell>& cell, const Value& row) {
                const Array* values = row.array();
                if (auto shown = cast<KXDividedintoProportionCell>(cell)) shown->setDataArr(values ? *values : Array());
            }};
}

}  // namespace

KXDividedintoProportionViewController::KXDividedintoProportionViewController()
    : KXPagedListViewController({"分成比例", "fcbl", KXPageLoader::rowsAsTheyCome(), shareRowCells(),
                                 KXDividedintoProportionCell::kHeight, {}, false,
                                 KXPageLoader::Pull::KeepsTheRows}) {}
