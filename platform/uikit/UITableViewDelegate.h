#pragma once

#include <optional>

#include "foundation/NSIndexPath.h"
#include "uikit/UIScrollViewDelegate.h"

class UITableView;
class UITableViewCell;
class UIView;

// What a table tells and asks its delegate (the scroll callbacks included).
//
// Optional members, the pattern every screen follows: a member whose
// absence changes what the table does answers std::optional, and the
// default (not implemented) answers std::nullopt. The table then uses its
// own property: without tableViewHeightForRowAtIndexPath every row is
// `rowHeight` tall; a delegate that implements it answers a height for
// every row (UITableViewAutomaticDimension asks the cell). The same holds
// for the header and footer heights. Members whose absence means "allow"
// or "nothing" have those defaults.
class UITableViewDelegate : public virtual UIScrollViewDelegate {
public:
    virtual std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>&, NSIndexPath) {
        return std::nullopt;
    }
    virtual std::optional<CGFloat> tableViewHeightForHeaderInSection(const Ref<UITableView>&, long) {
        return std::nullopt;
    }
    virtual std::optional<CGFloat> tableViewHeightForFooterInSection(const Ref<UITableView>&, long) {
        return std::nullopt;
    }
    // Asked when the section's header (footer) is about to show with a
    // height above zero; null shows the title header, if any, or nothing.
    virtual Ref<UIView> tableViewViewForHeaderInSection(const Ref<UITableView>&, long) { return nullptr; }
    virtual Ref<UIView> tableViewViewForFooterInSection(const Ref<UITableView>&, long) { return nullptr; }

    virtual void tableViewWillDisplayCellForRowAtIndexPath(const Ref<UITableView>&, const Ref<UITableViewCell>&,
                                                           NSIndexPath) {}

    // A tap: shouldHighlight, then willSelect (the path to select, or none
    // to cancel), then the previous selection's willDeselect/didDeselect,
    // then didSelect.
    virtual bool tableViewShouldHighlightRowAtIndexPath(const Ref<UITableView>&, NSIndexPath) { return true; }
    virtual std::optional<NSIndexPath> tableViewWillSelectRowAtIndexPath(const Ref<UITableView>&,
                                                                         NSIndexPath indexPath) {
        return indexPath;
    }
    virtual void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, NSIndexPath) {}
    virtual std::optional<NSIndexPath> tableViewWillDeselectRowAtIndexPath(const Ref<UITableView>&,
                                                                           NSIndexPath indexPath) {
        return indexPath;
    }
    virtual void tableViewDidDeselectRowAtIndexPath(const Ref<UITableView>&, NSIndexPath) {}
};
