#pragma once

#include <optional>
#include <string>

#include "app/payment/KXSingleRequest.h"
#include "app/team/KXShuRuTankuanViewDelegate.h"
#include "foundation/NSIndexPath.h"
#include "uikit/UITextFieldDelegate.h"
#include "uikit/UIView.h"

class UILabel;
class UITapGestureRecognizer;
class UITextField;

// The modal pop-up that fills in one empty field of the profile: a dimming
// layer and a white card with a caption, an entry field, "完成" and "取消".
// The caller sets the caption, the placeholder, the delegate and the row
// being edited, then adds it to the key window. "完成" with text closes it
// and saves the value with "my_edit" under the row's field; the delegate
// hears of the save.
class KXShuRuTankuanView : public UIView, public UITextFieldDelegate {
public:
    explicit KXShuRuTankuanView(CGRect frame) : UIView(frame) {}

    // The profile field a row saves ("pal" for row 2 ... "address" for row
    // 7); nothing for the rows the app does not edit (nickname and id).
    static std::optional<std::string> fieldForRow(long row);

    Ref<UIView> grayView() const { return grayView_; }
    Ref<UIView> fenxiangView() const { return fenxiangView_; }
    Ref<UILabel> miashuLabel() const { return miashuLabel_; }
    Ref<UITextField> miaoshutexefeild() const { return miaoshutexefeild_; }
    NSIndexPath indepath() const { return indepath_; }
    void setIndepath(NSIndexPath indexPath) { indepath_ = indexPath; }
    Ref<KXShuRuTankuanViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<KXShuRuTankuanViewDelegate>& delegate) { delegate_ = delegate; }

    // "完成": an empty entry stays open with "内容不能为空"; otherwise the
    // pop-up closes and the value is sent under a waiting HUD.
    void buttonTap();
    // "取消": closes the pop-up.
    void quxiaoBut();
    // A tap on the dimming layer closes the pop-up.
    void tapView(const Ref<UITapGestureRecognizer>& recognizer);
    bool textFieldShouldReturn(const Ref<UITextField>& textField) override;

    std::string className() const override { return "KXShuRuTankuanView"; }

protected:
    void didCreate() override;

private:
    void addgrayView();
    void setupUI();
    void save(const std::string& field, const std::string& value);

    Ref<UIView> grayView_;
    Ref<UIView> fenxiangView_;
    Ref<UILabel> miashuLabel_;
    Ref<UITextField> miaoshutexefeild_;
    NSIndexPath indepath_;
    WeakRef<KXShuRuTankuanViewDelegate> delegate_;
    // "my_edit" with the wait HUD "正在修改", one at a time.
    KXSingleRequest saving_{"正在修改"};
};
