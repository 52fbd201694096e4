#include <cmath>
#include <cstdio>

#include "uikit/UIDriver.h"
#include "uikit/UILabel.h"
#include "uikit/UIScrollView.h"

namespace {

// Up to a point either way is rounding, not a fault: a line box reaches
// past the glyphs drawn in it.
constexpr CGFloat kSlack = 1;

const char* lineBreakName(NSLineBreakMode mode) {
    switch (mode) {
        case NSLineBreakMode::ByWordWrapping: return "word wrapping";
        case NSLineBreakMode::ByCharWrapping: return "character wrapping";
        case NSLineBreakMode::ByClipping: return "clipping";
        case NSLineBreakMode::ByTruncatingHead: return "head truncation";
        case NSLineBreakMode::ByTruncatingTail: return "tail truncation";
        case NSLineBreakMode::ByTruncatingMiddle: return "middle truncation";
    }
    return "?";
}

std::string points(CGFloat value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", std::round(value * 10) / 10);
    return text;
}

std::string rectText(CGRect rect) {
    return "(" + points(rect.origin.x) + "," + points(rect.origin.y) + " " + points(rect.size.width) + "x" +
           points(rect.size.height) + ")";
}

// Who the label belongs to: the nearest ancestor of the app's own (a class
// not of the platform's UI prefix), else its superview's class.
std::string ownerName(const Ref<UIView>& label) {
    for (auto view = label->superview(); view; view = view->superview()) {
        const std::string name = view->className();
        if (!name.starts_with("UI") && !name.starts_with("_")) return name;
    }
    return label->superview() ? label->superview()->className() : std::string("no superview");
}

std::string labelName(const Ref<UILabel>& label, const Ref<UIWindow>& window) {
    std::string name = "\"" + label->text() + "\" (" + label->className();
    if (!label->accessibilityIdentifier().empty()) name += " #" + label->accessibilityIdentifier();
    name += " at " + rectText(label->convertRectToView(label->bounds(), window)) + " in " + ownerName(label) + ")";
    return name;
}

// The area a subview may draw in: the superview's bounds, or for a scroll
// view all of its content.
CGRect roomIn(const Ref<UIView>& superview) {
    CGRect bounds = superview->bounds();
    if (auto scroll = cast<UIScrollView>(superview)) {
        CGSize content = scroll->contentSize();
        return CGRectMake(0, 0, std::max(content.width, bounds.size.width), std::max(content.height, bounds.size.height));
    }
    return bounds;
}

std::string spill(CGRect text, CGRect room) {
    std::string sides;
    auto add = [&](CGFloat by, const char* side) {
        if (by <= kSlack) return;
        sides += (sides.empty() ? "" : ", ") + points(by) + " pt " + side;
    };
    add(CGRectGetMinY(room) - CGRectGetMinY(text), "above");
    add(CGRectGetMaxY(text) - CGRectGetMaxY(room), "below");
    add(CGRectGetMinX(room) - CGRectGetMinX(text), "left of");
    add(CGRectGetMaxX(text) - CGRectGetMaxX(room), "right of");
    return sides;
}

// A character of a written number: a digit, or a sign that joins digits
// (2026-12-07, 11:47, 1,200.50, 12/07).
bool inNumber(char c) { return (c >= '0' && c <= '9') || c == '.' || c == ',' || c == ':' || c == '-' || c == '/'; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The first pair of lines broken inside a number, shown as "2026-12-0 / 7
// 11:47"; "" when every break falls beside one (a line ending in the space
// before a number breaks outside it).
std::string numberSplit(const std::vector<std::string>& lines) {
    for (std::size_t k = 1; k < lines.size(); ++k) {
        const std::string &before = lines[k - 1], &after = lines[k];
        if (before.empty() || after.empty()) continue;
        const char last = before.back(), first = after.front();
        if (inNumber(last) && inNumber(first) && (isDigit(last) || isDigit(first))) return before + " / " + after;
    }
    return "";
}

bool visibleInWindow(const Ref<UIView>& view) {
    for (auto v = view; v; v = v->superview())
        if (v->isHidden() || v->alpha() < 0.01) return false;
    return true;
}

void checkLabels(const Ref<UIView>& view, const Ref<UIWindow>& window, std::vector<std::string>& faults) {
    if (view->isHidden() || view->alpha() < 0.01) return;
    // A container of no size (a view kept in place but given no frame)
    // holds nothing a reader is meant to see.
    const CGSize size = view->bounds().size;
    if (!cast<UILabel>(view) && (size.width <= 0 || size.height <= 0) && !view->subviews().empty()) return;
    if (auto label = cast<UILabel>(view); label && !label->text().empty() && label->superview()) {
        const UILabel::DrawnText drawn = label->drawnText();
        CGSize size = label->bounds().size;
        if (size.width <= 0 || size.height <= 0) {
            faults.push_back(labelName(label, window) + ": no room for its text");
        } else if (drawn.clipped) {
            faults.push_back(labelName(label, window) + ": text cut off without an ellipsis (" +
                             lineBreakName(label->lineBreakMode()) + ", " +
                             (label->numberOfLines() == 0 ? std::string("any number of")
                                                          : std::to_string(label->numberOfLines())) +
                             " lines, text needs more than " + points(size.width) + "x" + points(size.height) + ")");
        }
        if (std::string split = numberSplit(drawn.lines); !split.empty())
            faults.push_back(labelName(label, window) + ": a number broken across lines (\"" + split + "\")");
        CGRect text = label->convertRectToView(drawn.rect, label->superview());
        if (size.width > 0 && size.height > 0) {
            if (std::string sides = spill(text, roomIn(label->superview())); !sides.empty())
                faults.push_back(labelName(label, window) + ": text spills " + sides + " its superview " +
                                 label->superview()->className() + " " + rectText(label->superview()->bounds()));
        }
    }
    for (const auto& subview : view->subviews()) checkLabels(subview, window, faults);
}

}  // namespace

std::vector<std::string> UIDriver::textFitFaults() const {
    settle();
    std::vector<std::string> faults;
    auto window = keyWindow();
    if (window && visibleInWindow(window)) checkLabels(window, window, faults);
    return faults;
}
