#pragma once

#include <string>

#include "foundation/NSObject.h"
#include "foundation/NSRange.h"

class UITextView;

// What a text view asks and tells its delegate. Every method is optional: the
// defaults answer as UIKit does for a delegate that does not implement it.
class UITextViewDelegate {
public:
    virtual ~UITextViewDelegate() = default;

    virtual bool textViewShouldBeginEditing(const Ref<UITextView>&) { return true; }
    virtual void textViewDidBeginEditing(const Ref<UITextView>&) {}
    virtual bool textViewShouldEndEditing(const Ref<UITextView>&) { return true; }
    virtual void textViewDidEndEditing(const Ref<UITextView>&) {}
    // Whether typing may replace `range` (UTF-16 units) with `replacement`.
    virtual bool textViewShouldChangeTextInRangeReplacementText(const Ref<UITextView>&, NSRange /*range*/,
                                                                const std::string& /*replacement*/) {
        return true;
    }
    virtual void textViewDidChange(const Ref<UITextView>&) {}
};
