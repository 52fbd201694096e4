#pragma once

#include <string>

#include "uikit/UILabel.h"
#include "uikit/UIView.h"

// A reusable section header or footer. Content goes into `contentView`;
// the text label (made on first use) shows a section title. Subclasses
// build their content in didCreate and reset it in prepareForReuse.
class UITableViewHeaderFooterView : public UIView {
public:
    UITableViewHeaderFooterView() = default;
    explicit UITableViewHeaderFooterView(std::string reuseIdentifier) : reuseIdentifier_(std::move(reuseIdentifier)) {}

    const std::string& reuseIdentifier() const { return reuseIdentifier_; }
    Ref<UIView> contentView() const { return contentView_; }
    Ref<UILabel> textLabel();

    // Called when the table hands the view out again.
    virtual void prepareForReuse() {}

    // The content view's fitting height at the given width.
    CGSize systemLayoutSizeFittingSize(CGSize targetSize) override;
    void layoutSubviews() override;

protected:
    void didCreate() override;

private:
    std::string reuseIdentifier_;
    Ref<UIView> contentView_;
    Ref<UILabel> textLabel_;
};
