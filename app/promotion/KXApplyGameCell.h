#pragma once

#include "app/promotion/KXApplyGameModel.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UITableViewCell.h"

// A row of the games open for application, 139 points high: a rounded card
// with the game's icon, name, share line ("<system type>/分成比例：<ratio>"),
// the systems it runs on in a small badge, and its two date lines. Built in
// code; every outlet carries its name as accessibility identifier.
class KXApplyGameCell : public UITableViewCell {
public:
    using UITableViewCell::UITableViewCell;

    const Ref<UIImageView>& icoimageView() const { return icoimageView_; }
    const Ref<UILabel>& mingchengLabel() const { return mingchengLabel_; }
    const Ref<UILabel>& shuduanLabel() const { return shuduanLabel_; }
    const Ref<UILabel>& shouyoufenchengBilieLabel() const { return shouyoufenchengBilieLabel_; }
    const Ref<UILabel>& riqiLabel() const { return riqiLabel_; }
    const Ref<UIView>& beijingweueuView() const { return beijingweueuView_; }

    const Ref<KXApplyGameModel>& model() const { return model_; }
    // Stores the model and shows it.
    void setModel(const Ref<KXApplyGameModel>& model);

protected:
    void didCreate() override;

private:
    void buildViews();
    void awakeFromNib();

    Ref<UIImageView> icoimageView_;
    Ref<UILabel> mingchengLabel_;
    Ref<UILabel> shuduanLabel_;
    Ref<UILabel> shouyoufenchengBilieLabel_;
    Ref<UILabel> riqiLabel_;
    Ref<UIView> beijingweueuView_;
    Ref<KXApplyGameModel> model_;
};
