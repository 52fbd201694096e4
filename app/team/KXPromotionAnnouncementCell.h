#pragma once

#include "app/team/KXPromotionAnnouncementModel.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UITableViewCell.h"

// A row of the announcement list (143 pt high): a white rounded card with
// the announcement's title and category, its image, its summary and its
// date. The card's layout stands in for the cell's interface file:
// `cellFromInterfaceFile` builds it and then runs awakeFromNib, as loading
// the file would. Outlets are weak and carry their names as accessibility
// identifiers.
class KXPromotionAnnouncementCell : public UITableViewCell {
public:
    using UITableViewCell::UITableViewCell;

    static constexpr CGFloat kRowHeight = 143;

    // A cell as the interface file "KXPromotionAnnouncementCell" gives it.
    static Ref<KXPromotionAnnouncementCell> cellFromInterfaceFile(const std::string& reuseIdentifier);
    virtual void awakeFromNib();

    const Ref<KXPromotionAnnouncementModel>& model() const { return model_; }
    // Shows the announcement; the image loads from its `icon` address.
    void setModel(const Ref<KXPromotionAnnouncementModel>& model);

    Ref<UIView> beijingbaiseView() const { return beijingbaiseView_.lock(); }
    Ref<UIImageView> icoimagView() const { return icoimagView_.lock(); }
    Ref<UILabel> TypeLabel() const { return TypeLabel_.lock(); }
    Ref<UILabel> biaotiLabel() const { return biaotiLabel_.lock(); }
    Ref<UILabel> dateLabel() const { return dateLabel_.lock(); }
    Ref<UILabel> miaoshuLabel() const { return miaoshuLabel_.lock(); }

    std::string className() const override { return "KXPromotionAnnouncementCell"; }

private:
    void buildCard();

    Ref<KXPromotionAnnouncementModel> model_;
    WeakRef<UIView> beijingbaiseView_;
    WeakRef<UIImageView> icoimagView_;
    WeakRef<UILabel> TypeLabel_;
    WeakRef<UILabel> biaotiLabel_;
    WeakRef<UILabel> dateLabel_;
    WeakRef<UILabel> miaoshuLabel_;
};
