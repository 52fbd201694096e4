#include "uikit/UITableView.h"

#include <algorithm>
#include <map>

#include "foundation/NSLog.h"
#include "graphics/UIGraphics.h"
#include "uikit/TouchedCell.h"
#include "uikit/UIScreen.h"

namespace {

constexpr CGFloat kStandardRowHeight = 44;
constexpr CGFloat kPlainTitleHeight = 28;
constexpr CGFloat kGroupedTitleHeight = 38;
constexpr CGFloat kGroupedGap = 18;
// Measuring rows can bring further rows into view; a few rounds settle it.
constexpr int kMeasuringRounds = 8;

bool meets(CGRect part, CGRect visible) {
    return part.size.height > 0 && CGRectGetMinY(part) < CGRectGetMaxY(visible) &&
           CGRectGetMaxY(part) > CGRectGetMinY(visible);
}

}  // namespace

void UITableView::didCreate() {
    UIScrollView::didCreate();
    setAlwaysBounceVertical(true);
    setBackgroundColor(style_ == UITableViewStyle::Grouped ? UIColor::colorWithRed(0.95, 0.95, 0.97, 1)
                                                           : UIColor::whiteColor());
}

void UITableView::setDataSource(const Ref<UITableViewDataSource>& dataSource) {
    dataSource_ = dataSource;
    loaded_ = false;
    setNeedsLayout();
}

void UITableView::setDelegate(const Ref<UITableViewDelegate>& delegate) {
    delegate_ = delegate;
    UIScrollView::setDelegate(delegate);
    loaded_ = false;
    setNeedsLayout();
}

// --- Reuse ---

void UITableView::registerClass(CellFactory factory, const std::string& identifier) {
    cellFactories_[identifier] = std::move(factory);
}

void UITableView::registerClassForHeaderFooterViewReuseIdentifier(HeaderFooterFactory factory,
                                                                  const std::string& identifier) {
    headerFooterFactories_[identifier] = std::move(factory);
}

Ref<UITableViewCell> UITableView::dequeueReusableCellWithIdentifier(const std::string& identifier) {
    if (auto queue = cellQueues_.find(identifier); queue != cellQueues_.end() && !queue->second.empty()) {
        Ref<UITableViewCell> cell = std::move(queue->second.back());
        queue->second.pop_back();
        cell->prepareForReuse();
        return cell;
    }
    auto factory = cellFactories_.find(identifier);
    return factory == cellFactories_.end() ? nullptr : factory->second(identifier);
}

Ref<UITableViewCell> UITableView::dequeueReusableCellWithIdentifier(const std::string& identifier, NSIndexPath) {
    if (auto cell = dequeueReusableCellWithIdentifier(identifier)) return cell;
    NSLog("UITableView: no cell class registered for the reuse identifier \"" + identifier + "\"");
    return make<UITableViewCell>(UITableViewCellStyle::Default, identifier);
}

Ref<UITableViewHeaderFooterView> UITableView::dequeueReusableHeaderFooterViewWithIdentifier(
    const std::string& identifier) {
    if (auto queue = headerFooterQueues_.find(identifier); queue != headerFooterQueues_.end() && !queue->second.empty()) {
        Ref<UITableViewHeaderFooterView> view = std::move(queue->second.back());
        queue->second.pop_back();
        view->prepareForReuse();
        return view;
    }
    auto factory = headerFooterFactories_.find(identifier);
    return factory == headerFooterFactories_.end() ? nullptr : factory->second(identifier);
}

// --- Looks ---

void UITableView::setSeparatorStyle(UITableViewCellSeparatorStyle style) {
    separatorStyle_ = style;
    for (const auto& [path, cell] : shownCells_) applySeparator(cell);
}

void UITableView::setSeparatorColor(UIColor color) {
    separatorColor_ = color;
    for (const auto& [path, cell] : shownCells_) applySeparator(cell);
}

void UITableView::setSeparatorInset(UIEdgeInsets insets) {
    separatorInset_ = insets;
    for (const auto& [path, cell] : shownCells_) applySeparator(cell);
}

void UITableView::applySeparator(const Ref<UITableViewCell>& cell) const {
    if (separatorStyle_ == UITableViewCellSeparatorStyle::None)
        cell->setSeparator(std::nullopt);
    else
        cell->setSeparator(UITableViewCell::Separator{separatorColor_, separatorInset_});
}

void UITableView::setTableHeaderView(const Ref<UIView>& view) {
    if (tableHeaderView_) tableHeaderView_->removeFromSuperview();
    tableHeaderView_ = view;
    if (view) addSubview(view);
    loaded_ = false;
    setNeedsLayout();
}

void UITableView::setTableFooterView(const Ref<UIView>& view) {
    if (tableFooterView_) tableFooterView_->removeFromSuperview();
    tableFooterView_ = view;
    if (view) addSubview(view);
    loaded_ = false;
    setNeedsLayout();
}

// --- Loading ---

CGFloat UITableView::estimate() const {
    return estimatedRowHeight_ > 0 ? estimatedRowHeight_ : kStandardRowHeight;
}

CGFloat UITableView::rowHeightFor(NSIndexPath path, bool& automatic) {
    CGFloat height = rowHeight_;
    if (auto listener = delegate())
        if (auto answered = listener->tableViewHeightForRowAtIndexPath(self<UITableView>(), path)) height = *answered;
    automatic = height == UITableViewAutomaticDimension;
    return automatic ? estimate() : std::max<CGFloat>(0, height);
}

CGFloat UITableView::edgeHeightFor(SectionEdge edge, long section) {
    bool header = edge == SectionEdge::Header;
    Ref<UITableView> me = self<UITableView>();
    auto listener = delegate();
    CGFloat height = header ? sectionHeaderHeight_ : sectionFooterHeight_;
    if (listener) {
        auto answered = header ? listener->tableViewHeightForHeaderInSection(me, section)
                               : listener->tableViewHeightForFooterInSection(me, section);
        if (answered) height = *answered;
    }
    if (height != UITableViewAutomaticDimension) return std::max<CGFloat>(0, height);

    if (listener) {
        Ref<UIView> view = header ? listener->tableViewViewForHeaderInSection(me, section)
                                  : listener->tableViewViewForFooterInSection(me, section);
        if (view) {
            (header ? measuredHeaders_ : measuredFooters_)[section] = view;
            CGFloat own = view->frame().size.height;
            return own > 0 ? own
                           : view->systemLayoutSizeFittingSize({bounds().size.width, 0}, UILayoutPriorityRequired,
                                                               UILayoutPriorityFittingSizeLevel)
                                 .height;
        }
    }
    auto source = dataSource();
    std::optional<std::string> title;
    if (source)
        title = header ? source->tableViewTitleForHeaderInSection(me, section)
                       : source->tableViewTitleForFooterInSection(me, section);
    bool grouped = style_ == UITableViewStyle::Grouped;
    if (title) return grouped ? kGroupedTitleHeight : kPlainTitleHeight;
    return grouped ? kGroupedGap : 0;
}

void UITableView::reloadData() {
    if (updateDepth_ > 0) return;
    loaded_ = true;
    loadedWidth_ = bounds().size.width;
    for (auto& [path, cell] : std::map(shownCells_)) hideCell(path);
    for (auto& [section, view] : std::map(shownHeaders_)) hideEdgeView(shownHeaders_, section);
    for (auto& [section, view] : std::map(shownFooters_)) hideEdgeView(shownFooters_, section);
    measuredHeaders_.clear();
    measuredFooters_.clear();
    // A self-sizing row measured before, whether at the last reload or at an
    // earlier one, is estimated at its last measured height (and measured
    // again when shown), so that a reload, such as one that appends a page,
    // does not change the content above the user and move the rows on screen.
    unmeasuredRows_.clear();
    selectedRows_.clear();

    Ref<UITableView> me = self<UITableView>();
    std::vector<TableRowGeometry::Section> sections;
    if (auto source = dataSource()) {
        long count = std::max(0L, source->numberOfSectionsInTableView(me));
        sections.resize(static_cast<std::size_t>(count));
        for (long s = 0; s < count; ++s) {
            auto& section = sections[static_cast<std::size_t>(s)];
            long rows = std::max(0L, source->tableViewNumberOfRowsInSection(me, s));
            section.headerHeight = edgeHeightFor(SectionEdge::Header, s);
            section.rowHeights.resize(static_cast<std::size_t>(rows));
            for (long r = 0; r < rows; ++r) {
                bool automatic = false;
                NSIndexPath path = NSIndexPath::indexPathForRow(r, s);
                section.rowHeights[static_cast<std::size_t>(r)] = rowHeightFor(path, automatic);
                if (!automatic) continue;
                unmeasuredRows_.insert(path);
                if (auto known = lastMeasuredHeights_.find(path); known != lastMeasuredHeights_.end())
                    section.rowHeights[static_cast<std::size_t>(r)] = known->second;
            }
            section.footerHeight = edgeHeightFor(SectionEdge::Footer, s);
        }
    }
    geometry_.reset(tableHeaderView_ ? tableHeaderView_->frame().size.height : 0, std::move(sections),
                    tableFooterView_ ? tableFooterView_->frame().size.height : 0);
    std::erase_if(lastMeasuredHeights_, [this](const auto& entry) { return !geometry_.contains(entry.first); });
    updateContentSize();
    // As in collection views, an offset beyond the new content comes back
    // within it unless the user is dragging.
    if (!isDragging() && contentOffset().y > maximumContentOffset().y)
        setContentOffset({contentOffset().x, maximumContentOffset().y});
    layOutContent();
    notifyDataReloaded();
}

void UITableView::endUpdates() {
    if (updateDepth_ > 0 && --updateDepth_ == 0) reloadData();
}

void UITableView::updateContentSize() { setContentSize({bounds().size.width, geometry_.contentHeight()}); }

void UITableView::layoutSubviews() {
    UIScrollView::layoutSubviews();
    if (!loaded_ || bounds().size.width != loadedWidth_)
        reloadData();
    else
        layOutContent();
}

// --- Showing what meets the bounds ---

void UITableView::layOutContent() {
    Ref<UITableView> me = self<UITableView>();
    placeTableHeaderAndFooter();
    std::vector<NSIndexPath> newlyShown;
    showRows(newlyShown);
    showSectionEdges(SectionEdge::Header);
    showSectionEdges(SectionEdge::Footer);

    CGFloat width = bounds().size.width;
    for (const auto& [path, cell] : shownCells_) cell->setFrame(geometry_.rectForRow(path, width));
    auto listener = delegate();
    for (const NSIndexPath& path : newlyShown) {
        auto cell = shownCells_.find(path);
        if (cell == shownCells_.end()) continue;
        cell->second->setSelected(std::find(selectedRows_.begin(), selectedRows_.end(), path) != selectedRows_.end());
        applySeparator(cell->second);
        if (listener) listener->tableViewWillDisplayCellForRowAtIndexPath(me, cell->second, path);
    }
}

void UITableView::showRows(std::vector<NSIndexPath>& newlyShown) {
    CGFloat width = bounds().size.width;
    for (int round = 0; round < kMeasuringRounds; ++round) {
        CGRect visible = bounds();
        CGFloat shift = 0;
        auto rows = geometry_.rowsBetween(CGRectGetMinY(visible), CGRectGetMaxY(visible));
        for (auto& [path, cell] : std::map(shownCells_))
            if (!std::binary_search(rows.begin(), rows.end(), path)) {
                hideCell(path);
                std::erase(newlyShown, path);
            }
        // What stays in place while rows are measured: the first row that was
        // already shown, else the top of the bounds. A row measured above it
        // moves the offset by as much as it moves the rows below it.
        auto anchor = std::find_if(rows.begin(), rows.end(), [this](NSIndexPath path) { return shownCells_.count(path); });
        bool moved = false;
        for (const NSIndexPath& path : rows) {
            if (shownCells_.count(path)) continue;
            auto cell = cellFromDataSource(path);
            shownCells_[path] = cell;
            newlyShown.push_back(path);
            if (unmeasuredRows_.erase(path)) {
                const CGRect estimated = geometry_.rectForRow(path, width);
                cell->setFrame(estimated);
                cell->layoutIfNeeded();
                CGFloat height = std::max<CGFloat>(0, cell->systemLayoutSizeFittingSize({width, 0}).height);
                lastMeasuredHeights_[path] = height;
                if (height != estimated.size.height) {
                    geometry_.setRowHeight(path, height);
                    const bool aboveAnchor = anchor != rows.end()
                                                 ? path < *anchor
                                                 : CGRectGetMinY(estimated) < CGRectGetMinY(visible) + shift;
                    if (aboveAnchor) shift += height - estimated.size.height;
                    moved = true;
                }
            }
        }
        if (!moved) break;
        updateContentSize();
        if (shift != 0) setContentOffset({contentOffset().x, contentOffset().y + shift});
    }
}

Ref<UITableViewCell> UITableView::cellFromDataSource(NSIndexPath path) {
    Ref<UITableViewCell> cell;
    if (auto source = dataSource()) cell = source->tableViewCellForRowAtIndexPath(self<UITableView>(), path);
    if (!cell) {
        NSLog("UITableView: the data source gave no cell for row " + path.description());
        cell = make<UITableViewCell>();
    }
    // Below the header and footer views.
    insertSubview(cell, 0);
    return cell;
}

void UITableView::hideCell(NSIndexPath path) {
    auto shown = shownCells_.find(path);
    if (shown == shownCells_.end()) return;
    Ref<UITableViewCell> cell = shown->second;
    shownCells_.erase(shown);
    cell->removeFromSuperview();
    if (!cell->reuseIdentifier().empty()) cellQueues_[cell->reuseIdentifier()].push_back(cell);
}

void UITableView::showSectionEdges(SectionEdge edge) {
    auto& shown = edge == SectionEdge::Header ? shownHeaders_ : shownFooters_;
    CGRect visible = bounds();
    CGFloat width = visible.size.width;
    for (long section = 0; section < geometry_.numberOfSections(); ++section) {
        CGRect rect = edge == SectionEdge::Header ? geometry_.rectForHeader(section, width)
                                                  : geometry_.rectForFooter(section, width);
        if (!meets(rect, visible)) {
            hideEdgeView(shown, section);
            continue;
        }
        if (!shown.count(section)) {
            auto view = edgeViewFor(edge, section);
            if (!view) continue;
            addSubview(view);
            shown[section] = view;
        }
        shown[section]->setFrame(rect);
    }
}

Ref<UIView> UITableView::edgeViewFor(SectionEdge edge, long section) {
    bool header = edge == SectionEdge::Header;
    auto& measured = header ? measuredHeaders_ : measuredFooters_;
    if (auto kept = measured.find(section); kept != measured.end()) {
        Ref<UIView> view = kept->second;
        measured.erase(kept);
        return view;
    }
    Ref<UITableView> me = self<UITableView>();
    if (auto listener = delegate()) {
        auto view = header ? listener->tableViewViewForHeaderInSection(me, section)
                           : listener->tableViewViewForFooterInSection(me, section);
        if (view) return view;
    }
    auto source = dataSource();
    if (!source) return nullptr;
    auto title = header ? source->tableViewTitleForHeaderInSection(me, section)
                        : source->tableViewTitleForFooterInSection(me, section);
    if (!title) return nullptr;
    auto titled = make<UITableViewHeaderFooterView>();
    titled->textLabel()->setText(*title);
    return titled;
}

void UITableView::hideEdgeView(std::map<long, Ref<UIView>>& shown, long section) {
    auto at = shown.find(section);
    if (at == shown.end()) return;
    Ref<UIView> view = at->second;
    shown.erase(at);
    view->removeFromSuperview();
    auto reusable = cast<UITableViewHeaderFooterView>(view);
    if (reusable && !reusable->reuseIdentifier().empty())
        headerFooterQueues_[reusable->reuseIdentifier()].push_back(reusable);
}

void UITableView::placeTableHeaderAndFooter() {
    CGFloat width = bounds().size.width;
    if (tableHeaderView_) tableHeaderView_->setFrame(CGRectMake(0, 0, width, tableHeaderView_->frame().size.height));
    if (tableFooterView_)
        tableFooterView_->setFrame(
            CGRectMake(0, geometry_.tableFooterTop(), width, tableFooterView_->frame().size.height));
}

// --- Queries ---

std::vector<Ref<UITableViewCell>> UITableView::visibleCells() const {
    std::vector<Ref<UITableViewCell>> cells;
    cells.reserve(shownCells_.size());
    for (const auto& [path, cell] : shownCells_) cells.push_back(cell);
    return cells;
}

std::vector<NSIndexPath> UITableView::indexPathsForVisibleRows() const {
    std::vector<NSIndexPath> paths;
    paths.reserve(shownCells_.size());
    for (const auto& [path, cell] : shownCells_) paths.push_back(path);
    return paths;
}

Ref<UITableViewCell> UITableView::cellForRowAtIndexPath(NSIndexPath indexPath) const {
    auto shown = shownCells_.find(indexPath);
    return shown == shownCells_.end() ? nullptr : shown->second;
}

CGRect UITableView::rectForRowAtIndexPath(NSIndexPath indexPath) const {
    return geometry_.rectForRow(indexPath, bounds().size.width);
}

std::optional<NSIndexPath> UITableView::indexPathForRowAtPoint(CGPoint point) const {
    if (point.x < 0 || point.x >= bounds().size.width) return std::nullopt;
    return geometry_.rowAt(point.y);
}

void UITableView::scrollToRowAtIndexPath(NSIndexPath indexPath, UITableViewScrollPosition position, bool animated) {
    if (!geometry_.contains(indexPath)) return;
    Ref<UITableView> keepAlive = self<UITableView>();
    CGRect row = rectForRowAtIndexPath(indexPath);
    CGRect visible = bounds();
    UIEdgeInsets insets = adjustedContentInset();
    CGFloat visibleTop = CGRectGetMinY(visible) + insets.top;
    CGFloat visibleBottom = CGRectGetMaxY(visible) - insets.bottom;
    if (position == UITableViewScrollPosition::None) {
        if (CGRectGetMinY(row) < visibleTop)
            position = UITableViewScrollPosition::Top;
        else if (CGRectGetMaxY(row) > visibleBottom)
            position = UITableViewScrollPosition::Bottom;
        else
            return;
    }
    CGFloat y = 0;
    switch (position) {
    case UITableViewScrollPosition::Top: y = CGRectGetMinY(row) - insets.top; break;
    case UITableViewScrollPosition::Bottom: y = CGRectGetMaxY(row) - visible.size.height + insets.bottom; break;
    default: y = CGRectGetMidY(row) - insets.top - (visibleBottom - visibleTop) / 2; break;
    }
    CGPoint minimum = minimumContentOffset(), maximum = maximumContentOffset();
    setContentOffset({contentOffset().x, std::clamp(y, minimum.y, maximum.y)}, animated);
    layoutIfNeeded();
}

// --- Selection ---

std::optional<NSIndexPath> UITableView::indexPathForSelectedRow() const {
    if (selectedRows_.empty()) return std::nullopt;
    return *std::min_element(selectedRows_.begin(), selectedRows_.end());
}

void UITableView::setRowSelected(NSIndexPath path, bool selected) {
    std::erase(selectedRows_, path);
    if (selected) selectedRows_.push_back(path);
    if (auto cell = cellForRowAtIndexPath(path)) cell->setSelected(selected, false);
}

void UITableView::selectRowAtIndexPath(std::optional<NSIndexPath> indexPath, bool animated,
                                       UITableViewScrollPosition position) {
    for (const NSIndexPath& path : std::vector(selectedRows_))
        if (path != indexPath) setRowSelected(path, false);
    if (!indexPath || !geometry_.contains(*indexPath)) return;
    setRowSelected(*indexPath, true);
    if (position != UITableViewScrollPosition::None) scrollToRowAtIndexPath(*indexPath, position, animated);
}

void UITableView::deselectRowAtIndexPath(NSIndexPath indexPath, bool) { setRowSelected(indexPath, false); }

bool UITableView::handleTapAt(CGPoint point) {
    auto path = indexPathTouchedAt(
        self<UIView>(), point,
        [this](const Ref<UIView>& view) -> std::optional<NSIndexPath> {
            for (const auto& [shownPath, cell] : shownCells_)
                if (cell == view) return shownPath;
            return std::nullopt;
        },
        indexPathForRowAtPoint(point));
    if (!path || !allowsSelection_) return false;
    selectRowByTap(*path);
    return true;
}

void UITableView::selectRowByTap(NSIndexPath path) {
    Ref<UITableView> me = self<UITableView>();
    auto listener = delegate();
    if (listener && !listener->tableViewShouldHighlightRowAtIndexPath(me, path)) return;
    if (auto cell = cellForRowAtIndexPath(path)) cell->setHighlighted(true, false);
    std::optional<NSIndexPath> target = listener ? listener->tableViewWillSelectRowAtIndexPath(me, path) : path;
    if (auto cell = cellForRowAtIndexPath(path)) cell->setHighlighted(false, false);
    if (!target || !geometry_.contains(*target)) return;
    for (const NSIndexPath& previous : std::vector(selectedRows_)) {
        if (previous == *target) continue;
        auto deselected = listener ? listener->tableViewWillDeselectRowAtIndexPath(me, previous) : previous;
        if (!deselected) continue;
        setRowSelected(*deselected, false);
        if (listener) listener->tableViewDidDeselectRowAtIndexPath(me, *deselected);
    }
    setRowSelected(*target, true);
    if (listener) listener->tableViewDidSelectRowAtIndexPath(me, *target);
}

// --- Drawing ---

// A plain table without a footer view continues the row lines under its
// last row down to the bottom of the bounds, as empty rows.
void UITableView::drawRect(CGRect) {
    auto context = UIGraphicsGetCurrentContext();
    if (!context || style_ != UITableViewStyle::Plain || tableFooterView_ ||
        separatorStyle_ == UITableViewCellSeparatorStyle::None)
        return;
    CGRect visible = bounds();
    CGFloat step = rowHeight_ > 0 ? rowHeight_ : kStandardRowHeight;
    CGFloat hairline = 1 / UIScreen::mainScreen()->scale();
    CGContextSetFillColorWithColor(context, separatorColor_);
    for (CGFloat y = geometry_.contentHeight() + step; y <= CGRectGetMaxY(visible); y += step)
        CGContextFillRect(context, CGRectMake(separatorInset_.left, y - hairline,
                                              visible.size.width - separatorInset_.left - separatorInset_.right,
                                              hairline));
}
