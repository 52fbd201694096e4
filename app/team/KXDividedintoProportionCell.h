#pragma once

#include <vector>

#include "foundation/Value.h"
#include "uikit/UITableViewCell.h"

// A row of the share table: up to six values side by side, the first in a
// double-width column, between 1-pt separators, over a bottom line.
class KXDividedintoProportionCell : public UITableViewCell {
public:
    static constexpr std::size_t kColumns = 6;
    static constexpr CGFloat kHeight = 50;

    using UITableViewCell::UITableViewCell;

    const Array& dataArr() const { return dataArr_; }
    // Lays the row out: n values (values past the sixth are not shown) in
    // columns of u = width / (n + 1), the first 2u wide; the labels of the
    // columns the row does not fill are hidden.
    void setDataArr(const Array& row);

    const std::vector<Ref<UILabel>>& labelMuArr() const { return labelMuArr_; }
    const std::vector<Ref<UIView>>& fengexianView() const { return fengexianView_; }
    const Ref<UIView>& fenGeXianxiahuxian() const { return fenGeXianxiahuxian_; }

protected:
    void didCreate() override;

private:
    void setupUI();

    Array dataArr_;
    std::vector<Ref<UILabel>> labelMuArr_;
    std::vector<Ref<UIView>> fengexianView_;
    Ref<UIView> fenGeXianxiahuxian_;
};
