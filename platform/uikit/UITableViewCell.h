#pragma once

#include <optional>
#include <string>

#include "graphics/UIEdgeInsets.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UIView.h"

enum class UITableViewCellStyle { Default, Value1, Value2, Subtitle };
enum class UITableViewCellAccessoryType { None, DisclosureIndicator, DetailDisclosureButton, Checkmark, DetailButton };
enum class UITableViewCellSelectionStyle { None, Blue, Gray, Default };

// One row of a table. Content goes into `contentView` (the cell's width less
// the accessory); the standard labels and image view are made on first use
// and laid out by the style:
// - Default: the image, then the text label filling the rest;
// - Subtitle: the text label over the (smaller, grey) detail label;
// - Value1: the text label on the left, the grey detail on the right;
// - Value2: a narrow right-aligned blue text label, the detail after it.
// Default-style cells have no detail label (detailTextLabel() answers null).
//
// Subclasses build their content in didCreate (after the base's) and may
// override setSelected/setHighlighted (calling the base), prepareForReuse
// (called when the table hands the cell out again) and layoutSubviews.
// Selected or highlighted cells whose selection style is not None draw the
// grey selection background; the table decides whether the cell draws a
// separator line along its bottom edge.
class UITableViewCell : public UIView {
public:
    UITableViewCell() = default;
    UITableViewCell(UITableViewCellStyle style, std::string reuseIdentifier)
        : style_(style), reuseIdentifier_(std::move(reuseIdentifier)) {}

    UITableViewCellStyle style() const { return style_; }
    const std::string& reuseIdentifier() const { return reuseIdentifier_; }

    Ref<UIView> contentView() const { return contentView_; }
    Ref<UILabel> textLabel();
    // Null for the Default style.
    Ref<UILabel> detailTextLabel();
    Ref<UIImageView> imageView();

    UITableViewCellAccessoryType accessoryType() const { return accessoryType_; }
    void setAccessoryType(UITableViewCellAccessoryType type);
    // Shown instead of the standard accessory.
    Ref<UIView> accessoryView() const { return accessoryView_; }
    void setAccessoryView(const Ref<UIView>& view);

    // Shown behind the content, filling the cell, instead of the grey
    // selection background while the cell is selected or highlighted.
    Ref<UIView> selectedBackgroundView() const { return selectedBackgroundView_; }
    void setSelectedBackgroundView(const Ref<UIView>& view);

    UITableViewCellSelectionStyle selectionStyle() const { return selectionStyle_; }
    void setSelectionStyle(UITableViewCellSelectionStyle style) { selectionStyle_ = style; }
    bool isSelected() const { return selected_; }
    void setSelected(bool selected) { setSelected(selected, false); }
    virtual void setSelected(bool selected, bool animated);
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted) { setHighlighted(highlighted, false); }
    virtual void setHighlighted(bool highlighted, bool animated);

    // The separator's inset; the table's unless set.
    std::optional<UIEdgeInsets> separatorInset() const { return separatorInset_; }
    void setSeparatorInset(UIEdgeInsets insets) { separatorInset_ = insets; }

    // Clears the selection and highlight; subclasses reset their content.
    virtual void prepareForReuse();

    // The cell's size for `targetSize.width`: its content view's fitting
    // height (UIView::systemLayoutSizeFittingSize) at the content width.
    CGSize systemLayoutSizeFittingSize(CGSize targetSize) override;
    void layoutSubviews() override;
    void drawRect(CGRect rect) override;

protected:
    void didCreate() override;

private:
    friend class UITableView;
    // The line the table wants along the bottom edge (none: no line).
    struct Separator {
        UIColor color;
        UIEdgeInsets insets;
    };
    void setSeparator(std::optional<Separator> separator) { separator_ = separator; }
    CGFloat accessoryWidth() const;
    void layoutStandardViews(CGRect area);
    void drawAccessory(CGRect area);
    bool showsSelection() const;
    // Puts the selected background view in or out of the cell as the state asks.
    void updateSelectedBackground();

    UITableViewCellStyle style_ = UITableViewCellStyle::Default;
    std::string reuseIdentifier_;
    Ref<UIView> contentView_;
    Ref<UILabel> textLabel_;
    Ref<UILabel> detailTextLabel_;
    Ref<UIImageView> imageView_;
    UITableViewCellAccessoryType accessoryType_ = UITableViewCellAccessoryType::None;
    Ref<UIView> accessoryView_;
    Ref<UIView> selectedBackgroundView_;
    UITableViewCellSelectionStyle selectionStyle_ = UITableViewCellSelectionStyle::Default;
    bool selected_ = false;
    bool highlighted_ = false;
    std::optional<UIEdgeInsets> separatorInset_;
    std::optional<Separator> separator_;
};
