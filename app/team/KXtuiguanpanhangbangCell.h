#pragma once

#include <cstdint>
#include <vector>

#include "app/team/KXtuiguanpanhangModel.h"
#include "uikit/UIImageView.h"
#include "uikit/UITableViewCell.h"

// A row of the promotion ranking: place, user and income in three equal
// columns. The place is the place number when the entry's `icon` is "",
// else the image at that address (none for an entry without `icon`).
class KXtuiguanpanhangbangCell : public UITableViewCell {
public:
    static constexpr CGFloat kHeight = 44;
    // The rank image, centred in the first column.
    static constexpr CGSize kBadgeSize{16, 20};
    static constexpr CGFloat kBadgeTop = 12;

    using UITableViewCell::UITableViewCell;

    const std::vector<Ref<UILabel>>& labelMuArr() const { return labelMuArr_; }
    const Ref<UIImageView>& icoiamgView() const { return icoiamgView_; }
    const Ref<KXtuiguanpanhangModel>& model() const { return model_; }
    // The row's index in the table, from 0.
    std::int64_t dijige() const { return dijige_; }
    void setDijige(std::int64_t row) { dijige_ = row; }
    // Call after setDijige.
    void setModel(const Ref<KXtuiguanpanhangModel>& model);

protected:
    void didCreate() override;

private:
    void setupUI();

    std::vector<Ref<UILabel>> labelMuArr_;
    Ref<UIImageView> icoiamgView_;
    Ref<KXtuiguanpanhangModel> model_;
    std::int64_t dijige_ = 0;
};
