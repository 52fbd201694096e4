#pragma once

#include "foundation/Value.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"
#include "uikit/UITextField.h"
#include "uikit/UIViewController.h"

// The sign-in screen: an account name and a password on a shadowed card
// under the app's icon, and the sign-in button. Signing in sends the signed
// "login" action through the GET client; on success the login state is
// stored and the key window's root becomes a new main tab bar.
//
// The form's views are built in loadView at the screen's width and at the
// heights they have on the standard screen (375 x 667), counted from the
// top whatever the screen's height: on a taller screen the room below the
// card grows, on a shorter one it shrinks. Should the view's size change
// later, they keep their distances from the sides and the icon and the card
// each share a change of height out above and below them. The controller
// keeps weak outlets to them, each view carrying its outlet's name as
// accessibility identifier.
class KXLoginViewController : public UIViewController {
public:
    // Sign-out: forgets the stored login and, when there is a key window,
    // makes a new sign-in screen its root (no transition, nothing asked).
    static void signOut();

    void loadView() override;
    void viewDidLoad() override;
    // The looks applied in code over the built form.
    void setupUI();
    // The sign-in button's action (the outlet of the same name is its getter).
    void dengluBut(const Ref<UIButton>& sender);

    Ref<UIView> zuiwaimianbeijingView() const { return zuiwaimianbeijingView_.lock(); }
    Ref<UITextField> zhanghuTextField() const { return zhanghuTextField_.lock(); }
    Ref<UITextField> mimaTextFeild() const { return mimaTextFeild_.lock(); }
    Ref<UIButton> dengluBut() const { return dengluBut_.lock(); }
    Ref<UIImageView> icoiamgetouxiangView() const { return icoiamgetouxiangView_.lock(); }

private:
    // Sends the checked credentials; the answer comes back on the main queue.
    void signIn(const std::string& account, const std::string& password);
    static void handleAnswer(const Value& answer);

    WeakRef<UIView> zuiwaimianbeijingView_;
    WeakRef<UITextField> zhanghuTextField_;
    WeakRef<UITextField> mimaTextFeild_;
    WeakRef<UIButton> dengluBut_;
    WeakRef<UIImageView> icoiamgetouxiangView_;
};
