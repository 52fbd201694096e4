#pragma once

#include "uikit/UITableViewCell.h"

// The row of the record lists: white, 64 points tall, a hairline along its
// bottom. The subclasses put their labels in the content view in didCreate
// and place them in placeContent, from the content view's width.
class KXRecordCell : public UITableViewCell {
public:
    using UITableViewCell::UITableViewCell;

    void layoutSubviews() override;

protected:
    void didCreate() override;
    virtual void placeContent(CGFloat width, CGFloat height) = 0;

private:
    Ref<UIView> hairline_;
};
