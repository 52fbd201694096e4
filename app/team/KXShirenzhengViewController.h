#pragma once

#include <optional>
#include <string>

#include "app/team/KXAccountFormViewController.h"
#include "uikit/UIButton.h"
#include "uikit/UITextField.h"

// The real-name screen ("实名认证"): the legal name and the identity-card
// number, checked here, then sent with "shiming_edit"; on success the
// screen closes without a message. When no answer comes, the real-name
// check ("shiming") tells whether the data was taken (KXActionReadBack).
class KXShirenzhengViewController : public KXAccountFormViewController {
public:
    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void setupUI();
    void tijiaoTapBut(const Ref<UIButton>& sender);

    // The first check the entries fail, as its message; nothing when both pass.
    static std::optional<std::string> refusal(const std::string& name, const std::string& idCardNumber);

    Ref<UIView> beijingseView() const { return beijingseView_.lock(); }
    Ref<UITextField> xingmingTextField() const { return xingmingTextField_.lock(); }
    Ref<UITextField> shengfenTextFeild() const { return shengfenTextFeild_.lock(); }
    Ref<UIButton> tijiaoButon() const { return tijiaoButon_.lock(); }

    std::string className() const override { return "KXShirenzhengViewController"; }

private:
    WeakRef<UIView> beijingseView_;
    WeakRef<UITextField> xingmingTextField_;
    WeakRef<UITextField> shengfenTextFeild_;
    WeakRef<UIButton> tijiaoButon_;
};
