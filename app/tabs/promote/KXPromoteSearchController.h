#pragma once

#include "app/tabs/promote/KXPromoteGameListScreen.h"
#include "app/tabs/promote/KXPromoteSearchProtocol.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"
#include "uikit/UITextField.h"
#include "uikit/UITextFieldDelegate.h"

// The promote-game search: a rounded search field and "取消" in the top
// bar, the matching games below, page by page. It opens with every game
// (an empty keyword); the return key searches the field's text exactly as
// typed, across all categories; a search that matches nothing shows the
// empty view alone. Typing alone changes nothing. "取消" closes the screen;
// a tap on a row opens the game's details.
class KXPromoteSearchController : public KXPromoteGameListScreen, public UITextFieldDelegate {
public:
    const Ref<UIView>& searchBgView() const { return searchBgView_; }
    const Ref<UIImageView>& searchLogoImage() const { return searchLogoImage_; }
    const Ref<UITextField>& searchField() const { return searchField_; }
    const Ref<UIButton>& cancelButton() const { return cancelButton_; }
    const Ref<KXPromoteSearchProtocol>& tableViewProtocol() const { return tableViewProtocol_; }

    void viewDidLoad() override;

    bool textFieldShouldReturn(const Ref<UITextField>& textField) override;
    // Editing alone sends nothing.
    void searchTextFieldChange(const Ref<UIControl>&) {}
    void cancelButtonClick(const Ref<UIControl>& sender);

    std::string className() const override { return "KXPromoteSearchController"; }

protected:
    Ref<KXPromoteGameRows> rows() const override { return tableViewProtocol_; }

private:
    void setUpViews();
    void setUpConstraints();

    Ref<UIView> searchBgView_;
    Ref<UIImageView> searchLogoImage_;
    Ref<UITextField> searchField_;
    Ref<UIButton> cancelButton_;
    Ref<KXPromoteSearchProtocol> tableViewProtocol_ = make<KXPromoteSearchProtocol>();
};
