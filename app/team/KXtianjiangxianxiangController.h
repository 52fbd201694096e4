#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/payment/KXScreenLoads.h"
#include "app/payment/KXSingleRequest.h"
#include "foundation/Value.h"
#include "uikit/UIButton.h"
#include "uikit/UITextField.h"
#include "uikit/UIViewController.h"

// The 添加下线 screen: creates a sub-promoter account under the promoter.
// The promoter types the account's user name, password and phone number,
// picks one of the share levels the back end offers ("down_fcbl", asked once
// at load) and whether the account may sign in, then submits ("down_add");
// a success closes the screen. When no answer comes, the list of
// sub-promoters tells whether the account was made (KXActionReadBack):
// only a row with the name, phone, share and permission sent counts.
//
// The form (three fields with their captions, the level and permission
// containers, the submit button) is built in loadView; the level and
// permission buttons inside the containers are built by the screen's own
// steps. Outlets are weak and carry their names as accessibility
// identifiers.
class KXtianjiangxianxiangController : public UIViewController, public UITextFieldDelegate {
public:
    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // Permission "1", the title, the background, the fields' delegate and keyboards.
    void setCommonProperties();
    // The 允许 / 拒绝 buttons in the permission container.
    void setupUI();
    // Asks the back end for the share levels.
    void sendNetworkRequest();
    // One button per level of `shujuArr`, the first one chosen.
    void addkongjian();
    // A level button's action: its level becomes the chosen one.
    void xuanzedengji(const Ref<UIButton>& button);
    // The permission buttons' actions: allow ("1") or refuse ("2") the sign-in.
    void submit();
    void submitap();
    // The submit button's action: checks the form, then sends it.
    void yijianBut(const Ref<UIButton>& sender);

    bool textFieldShouldReturn(const Ref<UITextField>& textField) override;

    Ref<UITextField> yonghuTextField() const { return yonghuTextField_.lock(); }
    Ref<UITextField> mimaTextFeild() const { return mimaTextFeild_.lock(); }
    Ref<UITextField> phoneTextFeild() const { return phoneTextFeild_.lock(); }
    Ref<UIView> fenchengView() const { return fenchengView_.lock(); }
    Ref<UIView> shifouyuxungdouluBut() const { return shifouyuxungdouluBut_.lock(); }
    const Ref<UIButton>& allowBut() const { return allowBut_; }
    const Ref<UIButton>& RefusedBut() const { return RefusedBut_; }
    // The login permission sent as `is_login`.
    const std::string& yongxunStr() const { return yongxunStr_; }
    // The levels as the back end answered them.
    const Array& shujuArr() const { return shujuArr_; }
    const std::vector<Ref<UIButton>>& storageButMuArr() const { return storageButMuArr_; }
    // The chosen level; nothing until the levels have arrived.
    const std::optional<Dictionary>& xuanzhongDic() const { return xuanzhongDic_; }

    std::string className() const override { return "KXtianjiangxianxiangController"; }

private:
    // The first failing check's message, or nothing when the form may be sent.
    std::optional<std::string> firstFailingCheck() const;
    void sendForm();

    WeakRef<UITextField> yonghuTextField_;
    WeakRef<UITextField> mimaTextFeild_;
    WeakRef<UITextField> phoneTextFeild_;
    WeakRef<UIView> fenchengView_;
    WeakRef<UIView> shifouyuxungdouluBut_;
    Ref<UIButton> allowBut_;
    Ref<UIButton> RefusedBut_;
    std::string yongxunStr_;
    Array shujuArr_;
    std::vector<Ref<UIButton>> storageButMuArr_;
    std::optional<Dictionary> xuanzhongDic_;
    // "down_add" with the wait HUD "一键添加", one at a time.
    KXSingleRequest adding_{"一键添加"};
    // The reads of the screen's content, ended with the screen.
    KXScreenLoads loads_;
};
