#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "uikit/TableRowGeometry.h"
#include "uikit/UIScrollView.h"
#include "uikit/UITableViewCell.h"
#include "uikit/UITableViewDataSource.h"
#include "uikit/UITableViewDelegate.h"
#include "uikit/UITableViewHeaderFooterView.h"

enum class UITableViewStyle { Plain, Grouped };
enum class UITableViewScrollPosition { None, Top, Middle, Bottom };
enum class UITableViewCellSeparatorStyle { None, SingleLine };
enum class UITableViewRowAnimation { Fade, Right, Left, Top, Bottom, None, Middle, Automatic };

// A height that the table works out: a row's from its cell's layout, a
// header's from its view or title.
inline constexpr CGFloat UITableViewAutomaticDimension = -1;

// A vertical list of rows in sections, asking its data source and delegate
// as UIKit does.
//
// Loading: reloadData (also run by the first layout pass, and again when
// the width changes) asks the section and row counts and every height,
// places the parts (TableRowGeometry), sets the content size (bringing an
// offset beyond it back within it unless the user drags), and shows the
// rows whose rectangles meet the bounds: each is asked of the data source
// (which dequeues it), placed, given its selection state and separator, and
// announced with willDisplayCell. Cells that leave the bounds (a scroll, a
// reload) go back to their identifier's reuse queue and out of the view
// tree; dequeueing hands them out again after prepareForReuse.
//
// Heights: a row is the delegate's heightForRow when the delegate answers
// it, else `rowHeight` (44). Automatic rows start at the estimate
// (`estimatedRowHeight`, 44 when automatic) and are measured when shown by
// the cell's systemLayoutSizeFittingSize at the table's width; rows after
// them move. A row measured once is estimated at its last measured height
// by every later reload, until it is shown and measured again. A row
// measured above the rows already on screen (or, when none stays, above the
// top of the bounds) moves the content offset by as much as it moves them,
// so that they stay where they are on screen. Headers and footers are the delegate's
// height when answered, else sectionHeaderHeight/FooterHeight; automatic
// ones take their view's height (its frame's, else its fitting height),
// else a title's standard height, else nothing (plain) or a gap of 18
// (grouped). Header and footer views are asked when they are about to show
// with a height above zero; they scroll with the rows.
//
// Selection: a tap on a row (handleTapAt) goes through the delegate as
// UITableViewDelegate describes; selectRow/deselectRow from code call no
// delegate. reloadData clears the selection. Row and section edits reload.
class UITableView : public UIScrollView {
public:
    using CellFactory = std::function<Ref<UITableViewCell>(const std::string& reuseIdentifier)>;
    using HeaderFooterFactory = std::function<Ref<UITableViewHeaderFooterView>(const std::string& reuseIdentifier)>;

    UITableView() = default;
    explicit UITableView(CGRect frame, UITableViewStyle style = UITableViewStyle::Plain)
        : UIScrollView(frame), style_(style) {}

    UITableViewStyle style() const { return style_; }

    Ref<UITableViewDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(const Ref<UITableViewDataSource>& dataSource);
    Ref<UITableViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<UITableViewDelegate>& delegate);

    // --- Reuse ---
    void registerClass(CellFactory factory, const std::string& identifier);
    template <class Cell> void registerClass(const std::string& identifier) {
        registerClass([](const std::string& id) { return make<Cell>(UITableViewCellStyle::Default, id); }, identifier);
    }
    void registerClassForHeaderFooterViewReuseIdentifier(HeaderFooterFactory factory, const std::string& identifier);
    template <class View> void registerClassForHeaderFooterViewReuseIdentifier(const std::string& identifier) {
        registerClassForHeaderFooterViewReuseIdentifier([](const std::string& id) { return make<View>(id); },
                                                        identifier);
    }
    // A queued cell, else a new one of the registered class, else null.
    Ref<UITableViewCell> dequeueReusableCellWithIdentifier(const std::string& identifier);
    // As above, but never null: with nothing registered it logs and answers
    // a default-style cell.
    Ref<UITableViewCell> dequeueReusableCellWithIdentifier(const std::string& identifier, NSIndexPath indexPath);
    Ref<UITableViewHeaderFooterView> dequeueReusableHeaderFooterViewWithIdentifier(const std::string& identifier);

    // --- Heights and looks ---
    CGFloat rowHeight() const { return rowHeight_; }
    void setRowHeight(CGFloat height) { rowHeight_ = height; }
    CGFloat estimatedRowHeight() const { return estimatedRowHeight_; }
    void setEstimatedRowHeight(CGFloat height) { estimatedRowHeight_ = height; }
    CGFloat sectionHeaderHeight() const { return sectionHeaderHeight_; }
    void setSectionHeaderHeight(CGFloat height) { sectionHeaderHeight_ = height; }
    CGFloat sectionFooterHeight() const { return sectionFooterHeight_; }
    void setSectionFooterHeight(CGFloat height) { sectionFooterHeight_ = height; }
    // Estimates are accepted; headers and footers are measured at once.
    CGFloat estimatedSectionHeaderHeight() const { return estimatedSectionHeaderHeight_; }
    void setEstimatedSectionHeaderHeight(CGFloat height) { estimatedSectionHeaderHeight_ = height; }
    CGFloat estimatedSectionFooterHeight() const { return estimatedSectionFooterHeight_; }
    void setEstimatedSectionFooterHeight(CGFloat height) { estimatedSectionFooterHeight_ = height; }
    // Accepted: headers sit right on the rows above them.
    CGFloat sectionHeaderTopPadding() const { return sectionHeaderTopPadding_; }
    void setSectionHeaderTopPadding(CGFloat padding) { sectionHeaderTopPadding_ = padding; }

    UITableViewCellSeparatorStyle separatorStyle() const { return separatorStyle_; }
    void setSeparatorStyle(UITableViewCellSeparatorStyle style);
    UIColor separatorColor() const { return separatorColor_; }
    void setSeparatorColor(UIColor color);
    UIEdgeInsets separatorInset() const { return separatorInset_; }
    void setSeparatorInset(UIEdgeInsets insets);

    // Views above the first section and below the last, at the table's width
    // and their own height. A footer view also ends the empty rows' lines
    // that a plain table draws under its last row.
    Ref<UIView> tableHeaderView() const { return tableHeaderView_; }
    void setTableHeaderView(const Ref<UIView>& view);
    Ref<UIView> tableFooterView() const { return tableFooterView_; }
    void setTableFooterView(const Ref<UIView>& view);

    // --- Content ---
    void reloadData();
    long numberOfSections() const { return geometry_.numberOfSections(); }
    long numberOfRowsInSection(long section) const { return geometry_.numberOfRows(section); }
    // Shown cells, in index-path order.
    std::vector<Ref<UITableViewCell>> visibleCells() const;
    std::vector<NSIndexPath> indexPathsForVisibleRows() const;
    // The cell shown for the row, or null when it is not shown.
    Ref<UITableViewCell> cellForRowAtIndexPath(NSIndexPath indexPath) const;
    // In the table's content space; zero for a row that does not exist.
    CGRect rectForRowAtIndexPath(NSIndexPath indexPath) const;
    std::optional<NSIndexPath> indexPathForRowAtPoint(CGPoint point) const;
    void scrollToRowAtIndexPath(NSIndexPath indexPath, UITableViewScrollPosition position, bool animated);

    void insertRowsAtIndexPaths(const std::vector<NSIndexPath>&, UITableViewRowAnimation) { reloadData(); }
    void deleteRowsAtIndexPaths(const std::vector<NSIndexPath>&, UITableViewRowAnimation) { reloadData(); }
    void reloadRowsAtIndexPaths(const std::vector<NSIndexPath>&, UITableViewRowAnimation) { reloadData(); }
    void insertSections(const std::vector<long>&, UITableViewRowAnimation) { reloadData(); }
    void deleteSections(const std::vector<long>&, UITableViewRowAnimation) { reloadData(); }
    void reloadSections(const std::vector<long>&, UITableViewRowAnimation) { reloadData(); }
    // Edits between these reload once, at the outermost end.
    void beginUpdates() { ++updateDepth_; }
    void endUpdates();

    // --- Selection ---
    bool allowsSelection() const { return allowsSelection_; }
    void setAllowsSelection(bool allows) { allowsSelection_ = allows; }
    std::optional<NSIndexPath> indexPathForSelectedRow() const;
    // None deselects every row.
    void selectRowAtIndexPath(std::optional<NSIndexPath> indexPath, bool animated,
                              UITableViewScrollPosition position);
    void deselectRowAtIndexPath(NSIndexPath indexPath, bool animated);

    // A tap on a row selects it through the delegate.
    bool handleTapAt(CGPoint point) override;
    void layoutSubviews() override;
    void drawRect(CGRect rect) override;

protected:
    void didCreate() override;

private:
    enum class SectionEdge { Header, Footer };

    CGFloat rowHeightFor(NSIndexPath path, bool& automatic);
    CGFloat edgeHeightFor(SectionEdge edge, long section);
    CGFloat estimate() const;
    void layOutContent();
    void showRows(std::vector<NSIndexPath>& newlyShown);
    void showSectionEdges(SectionEdge edge);
    Ref<UIView> edgeViewFor(SectionEdge edge, long section);
    Ref<UITableViewCell> cellFromDataSource(NSIndexPath path);
    void hideCell(NSIndexPath path);
    void hideEdgeView(std::map<long, Ref<UIView>>& shown, long section);
    void placeTableHeaderAndFooter();
    void updateContentSize();
    void applySeparator(const Ref<UITableViewCell>& cell) const;
    void selectRowByTap(NSIndexPath path);
    void setRowSelected(NSIndexPath path, bool selected);

    UITableViewStyle style_ = UITableViewStyle::Plain;
    WeakRef<UITableViewDataSource> dataSource_;
    WeakRef<UITableViewDelegate> delegate_;

    std::unordered_map<std::string, CellFactory> cellFactories_;
    std::unordered_map<std::string, HeaderFooterFactory> headerFooterFactories_;
    std::unordered_map<std::string, std::vector<Ref<UITableViewCell>>> cellQueues_;
    std::unordered_map<std::string, std::vector<Ref<UITableViewHeaderFooterView>>> headerFooterQueues_;

    CGFloat rowHeight_ = 44;
    CGFloat estimatedRowHeight_ = UITableViewAutomaticDimension;
    CGFloat sectionHeaderHeight_ = UITableViewAutomaticDimension;
    CGFloat sectionFooterHeight_ = UITableViewAutomaticDimension;
    CGFloat estimatedSectionHeaderHeight_ = UITableViewAutomaticDimension;
    CGFloat estimatedSectionFooterHeight_ = UITableViewAutomaticDimension;
    CGFloat sectionHeaderTopPadding_ = 0;
    UITableViewCellSeparatorStyle separatorStyle_ = UITableViewCellSeparatorStyle::SingleLine;
    UIColor separatorColor_ = UIColor::colorWithRed(0.78, 0.78, 0.8, 1);
    UIEdgeInsets separatorInset_{0, 15, 0, 0};
    Ref<UIView> tableHeaderView_;
    Ref<UIView> tableFooterView_;

    TableRowGeometry geometry_;
    bool loaded_ = false;
    CGFloat loadedWidth_ = 0;
    int updateDepth_ = 0;
    std::unordered_set<NSIndexPath> unmeasuredRows_;
    // The last measured height of every automatic row measured so far.
    std::map<NSIndexPath, CGFloat> lastMeasuredHeights_;
    std::map<NSIndexPath, Ref<UITableViewCell>> shownCells_;
    std::map<long, Ref<UIView>> shownHeaders_;
    std::map<long, Ref<UIView>> shownFooters_;
    // Views asked for while measuring automatic heights, kept to be shown.
    std::map<long, Ref<UIView>> measuredHeaders_;
    std::map<long, Ref<UIView>> measuredFooters_;
    std::vector<NSIndexPath> selectedRows_;
    bool allowsSelection_ = true;
};
