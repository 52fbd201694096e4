#pragma once

#include <string>

#include "foundation/NSObject.h"
#include "foundation/NSRange.h"

class UITextField;

// What a text field asks and tells its delegate. Every method is optional:
// the defaults answer as UIKit does for a delegate that does not implement
// it (allow everything, do nothing).
class UITextFieldDelegate {
public:
    virtual ~UITextFieldDelegate() = default;

    virtual bool textFieldShouldBeginEditing(const Ref<UITextField>&) { return true; }
    virtual void textFieldDidBeginEditing(const Ref<UITextField>&) {}
    virtual bool textFieldShouldEndEditing(const Ref<UITextField>&) { return true; }
    virtual void textFieldDidEndEditing(const Ref<UITextField>&) {}
    // Whether typing may replace `range` (UTF-16 units of the current text)
    // with `replacement` (empty when deleting).
    virtual bool textFieldShouldChangeCharactersInRangeReplacementString(const Ref<UITextField>&, NSRange /*range*/,
                                                                         const std::string& /*replacement*/) {
        return true;
    }
    virtual bool textFieldShouldClear(const Ref<UITextField>&) { return true; }
    virtual bool textFieldShouldReturn(const Ref<UITextField>&) { return true; }
};
