#pragma once

#include <optional>
#include <string>

#include "app/team/KXAccountFormViewController.h"
#include "uikit/UIButton.h"
#include "uikit/UILabel.h"
#include "uikit/UITextField.h"

// The password screen ("修改密码"): old password, new password and its
// confirmation, checked here in a fixed order before "my_edit" sends the
// old and the new password. The answer's message shows whatever the code;
// on success the screen closes. When no answer comes, or the old password
// is refused ("旧密码错误": an earlier change whose answer was lost may have
// made it so), the screen asks whether the new password is in force and,
// when it is, ends as on success (KXActionReadBack).
class KXChangeThePasswordViewController : public KXAccountFormViewController {
public:
    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void setupUI();
    void tijiaoBut(const Ref<UIButton>& sender);

    // The first check the entries fail, as its message; nothing when all pass.
    static std::optional<std::string> refusal(const std::string& oldPassword, const std::string& newPassword,
                                              const std::string& confirmation);

    Ref<UIView> beijingView() const { return beijingView_.lock(); }
    Ref<UITextField> oldTextField() const { return oldTextField_.lock(); }
    Ref<UITextField> xingmimTextField() const { return xingmimTextField_.lock(); }
    Ref<UITextField> querenTextFeild() const { return querenTextFeild_.lock(); }
    Ref<UILabel> miaoshuwenziLabel() const { return miaoshuwenziLabel_.lock(); }
    Ref<UIButton> tijiaoButton() const { return tijiaoBut_.lock(); }

    std::string className() const override { return "KXChangeThePasswordViewController"; }

private:
    WeakRef<UIView> beijingView_;
    WeakRef<UITextField> oldTextField_;
    WeakRef<UITextField> xingmimTextField_;
    WeakRef<UITextField> querenTextFeild_;
    WeakRef<UILabel> miaoshuwenziLabel_;
    WeakRef<UIButton> tijiaoBut_;
};
