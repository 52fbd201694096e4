#include "uikit/UIDriver.h"
#include "uikit/UILabel.h"
#include "uikit/UIScrollView.h"
#include "uikit/UITextField.h"
#include "uikit/UITextView.h"

namespace {

CGPoint middleOf(CGRect rect) { return {CGRectGetMidX(rect), CGRectGetMidY(rect)}; }

// The lines of text the view draws itself (bounds space), as its drawing
// lays them out: a label's kept lines, a field's text or placeholder, a text
// view's text. Nothing for any other view: a button's title is drawn by its
// title label, a bar item's by its label, and an accessibility label alone
// is drawn by no one.
std::vector<NSAttributedString::DrawnLine> ownLines(const Ref<UIView>& view) {
    if (auto label = cast<UILabel>(view)) return label->drawnText().shownLines;
    if (auto field = cast<UITextField>(view)) return field->drawnLines();
    if (auto textView = cast<UITextView>(view)) return textView->drawnLines();
    return {};
}

void collectShown(const Ref<UIView>& view, std::vector<Ref<UIView>>& found) {
    if (view->isHidden()) return;
    found.push_back(view);
    for (const auto& subview : view->subviews()) collectShown(subview, found);
}

}  // namespace

bool UIDriver::isDrawable(const Ref<UIView>& view) const {
    auto window = keyWindow();
    if (!view || !window || view->window() != window) return false;
    for (auto v = view; v; v = v->superview()) {
        const CGSize size = v->bounds().size;
        if (v->isHidden() || v->alpha() < 0.01 || size.width <= 0 || size.height <= 0) return false;
    }
    return true;
}

CGRect UIDriver::shownRect(const Ref<UIView>& view) const {
    if (!isDrawable(view)) return CGRectNull;
    auto window = keyWindow();
    CGRect shown = CGRectIntersection(view->convertRectToView(view->bounds(), window), window->bounds());
    for (auto v = view->superview(); v && !CGRectIsNull(shown); v = v->superview())
        if (v->clipsToBounds() || cast<UIScrollView>(v))
            shown = CGRectIntersection(shown, v->convertRectToView(v->bounds(), window));
    return shown;
}

std::vector<UIDriver::DrawnLine> UIDriver::keptLines(const Ref<UIView>& view) const {
    std::vector<DrawnLine> lines;
    auto window = keyWindow();
    if (!view || !window) return lines;
    for (auto& line : ownLines(view)) lines.push_back({std::move(line.text), view->convertRectToView(line.rect, window)});
    // A view that draws no text is seen across its bounds.
    if (lines.empty()) lines.push_back({"", view->convertRectToView(view->bounds(), window)});
    return lines;
}

std::vector<UIDriver::DrawnLine> UIDriver::drawnLines(const Ref<UIView>& view) const {
    return seenOf(view, keptLines(view));
}

std::vector<UIDriver::DrawnLine> UIDriver::seenOf(const Ref<UIView>& view, std::vector<DrawnLine> kept) const {
    std::vector<DrawnLine> lines;
    const CGRect shown = shownRect(view);
    if (CGRectIsNull(shown) || CGRectIsEmpty(shown)) return lines;
    // A line is seen when its middle is: the window and the containers that
    // clip cut the rest off.
    for (auto& line : kept)
        if (CGRectContainsPoint(shown, middleOf(line.rect)))
            lines.push_back({std::move(line.text), CGRectIntersection(line.rect, shown)});
    return lines;
}

bool UIDriver::isInView(const Ref<UIView>& view) const { return !drawnLines(view).empty(); }

namespace {

std::string joined(const std::vector<UIDriver::DrawnLine>& lines) {
    std::string text;
    for (const auto& line : lines) text += line.text;
    return text;
}

}  // namespace

std::string UIDriver::shownText(const Ref<UIView>& view) const { return joined(drawnLines(view)); }

std::string UIDriver::keptText(const Ref<UIView>& view) const { return joined(keptLines(view)); }

CGPoint UIDriver::tapPoint(const Ref<UIView>& view) const { return tapPointOf(view, drawnLines(view)); }

CGPoint UIDriver::tapPointOf(const Ref<UIView>& view, const std::vector<DrawnLine>& lines) const {
    CGRect drawn = CGRectNull;
    for (const auto& line : lines) drawn = CGRectUnion(drawn, line.rect);
    if (!CGRectIsNull(drawn)) return middleOf(drawn);
    return view->convertPointToView(middleOf(view->bounds()), keyWindow());
}

bool UIDriver::holds(const Ref<UIView>& view, std::string_view query) {
    if (query.starts_with('#')) return query.size() > 1 && view->accessibilityIdentifier() == query.substr(1);
    if (query.empty()) return false;
    return view->accessibilityLabel().find(query) != std::string::npos ||
           view->accessibilityValue().find(query) != std::string::npos;
}

UIDriver::Sighting UIDriver::sightingOf(const Ref<UIView>& view, const std::vector<DrawnLine>& lines, bool drawn,
                                        bool kept, bool whole) const {
    Sighting sighting;
    sighting.view = view;
    sighting.drawn = drawn;
    sighting.kept = kept;
    sighting.whole = whole;
    sighting.point = tapPointOf(view, lines);
    auto window = keyWindow();
    if (drawn && window) sighting.front = window->hitTest(sighting.point);
    return sighting;
}

UIDriver::Sighting UIDriver::sight(const Ref<UIView>& view) const {
    const auto lines = drawnLines(view);
    return sightingOf(view, lines, !lines.empty(), true, true);
}

std::vector<UIDriver::Sighting> UIDriver::sightings(std::string_view query) const {
    std::vector<Sighting> found;
    auto window = keyWindow();
    if (!window) return found;
    std::vector<Ref<UIView>> shown;
    collectShown(window, shown);
    const bool named = query.starts_with('#');
    for (const auto& view : shown) {
        if (!holds(view, query)) continue;
        // Judged by what the view draws, as a shot shows it: a part of its
        // drawn lines (up to an ellipsis), not of a caption it cuts off or
        // of a placeholder its text has replaced.
        auto keptNow = keptLines(view);
        const std::string kept = joined(keptNow);
        const auto lines = seenOf(view, std::move(keptNow));
        const bool isKept = named || kept.find(query) != std::string::npos;
        const bool drawn = !lines.empty() && (named || joined(lines).find(query) != std::string::npos);
        found.push_back(sightingOf(view, lines, drawn, isKept, named || kept == query));
    }
    return found;
}
