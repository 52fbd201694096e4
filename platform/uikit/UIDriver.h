#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/NSData.h"
#include "foundation/NSIndexPath.h"
#include "graphics/CGGeometry.h"
#include "uikit/UIView.h"
#include "uikit/UIWindow.h"

// Drives the app as a user would; tests and the runner share it. It works
// on the application's key window.
//
// Finding: "#name" finds views by accessibility identifier ("#" alone finds
// none); any other query finds views whose accessibility label or value (the
// text they show: a label's text, a button's title, a field's placeholder or
// text) equals it.
// Only views not hidden (with their ancestors) count; the front-most match
// wins.
//
// Tapping follows the touch rules: the point (a view's tapPoint, or a point in
// the window) is hit-tested from the key window (hidden, nearly transparent
// and non-interactive views let it through, pointInside decides the touch
// area, and a control keeps the points of its own bounds from a larger touch
// area in front: UIView::hitTest), then the hit view and its superviews in turn are offered the tap
// (UIView::handleTapAt) until one handles it. Recognizers of the window that
// do not cancel touches in views see the tap too, whichever view handled it.
//
// Every action runs the main loop afterwards until nothing is left to do
// now (posted blocks, due timers, the layout pass), so what it set off has
// happened when it returns. Actions answer false when they could not act,
// with the reason in lastError().
class UICollectionView;
class UIScrollView;
class UIViewController;
class UITableView;

class UIDriver {
public:
    Ref<UIWindow> keyWindow() const;

    Ref<UIView> find(std::string_view query) const;
    std::vector<Ref<UIView>> findAll(std::string_view query) const;
    // Views of the class (its reported name, e.g. "UILabel"), hidden ones too.
    std::vector<Ref<UIView>> findAllOfClass(std::string_view className) const;

    // One line per view, indented by depth: class, frame, shown text (its
    // line breaks shown as "⏎"), "#id", and "hidden". Each line is built
    // in one pass over its texts. `stopped`, asked before each view, ends
    // the walk early: the lines so far are returned.
    static std::string describeTree(const Ref<UIView>& root, const std::function<bool()>& stopped = {});
    // The key window's tree.
    std::string describeScreen(const std::function<bool()>& stopped = {}) const;

    bool tap(const Ref<UIView>& view);
    bool tap(std::string_view query);
    bool tapAt(CGPoint pointInWindow);
    // Focuses the view (or its nearest ancestor) that takes typing and
    // inserts the text as if typed.
    bool typeText(const Ref<UIView>& view, std::string_view text);
    bool typeText(std::string_view query, std::string_view text);
    // The return key on the first responder's keyboard (a line feed typed:
    // a text field asks its delegate's textFieldShouldReturn).
    bool pressReturn();
    // The delete key, `times` times, on the first responder's keyboard.
    bool deleteBackward(std::size_t times = 1);
    // A finger put down at `from` and moved in steps to `to` (window space)
    // over `seconds`: the pan recognizer on the view there or its nearest
    // ancestor that takes the touch follows it.
    bool pan(CGPoint fromInWindow, CGPoint toInWindow, double seconds = 0.25, std::size_t steps = 5);
    // From the view's centre by `translation`.
    bool pan(const Ref<UIView>& view, CGPoint translation, double seconds = 0.25, std::size_t steps = 5);
    // Pops the front-most navigation controller's top screen.
    bool back();
    // The view back() taps: the shown bar's back button or the left item
    // that replaces it; null when there is no screen to go back from or the
    // bar is hidden (back() then swipes from the edge).
    Ref<UIView> backButton() const;
    // Selects a tab of the front-most tab bar controller (`index` from 0; a
    // tab that is not there is named counting from 1, as a user counts).
    bool selectTab(std::size_t index);
    // The tab bar's button for `index` of the screens beneath anything
    // presented over them (an action sheet), or null.
    Ref<UIView> tabButton(std::size_t index) const;
    // The tabs of the screens beneath anything presented over them (0 when
    // they have no tab bar).
    std::size_t tabCount() const;
    // The controller in front: the last one presented over the key window's root.
    Ref<UIViewController> frontController() const;
    // Whether the screen is settled: no push, pop, presentation or dismissal
    // of a screen in the key window is under way.
    bool isScreenSettled() const;
    // Writes the key window, as the screen shows it, to a PNG file.
    bool shot(const std::string& path);
    // The key window, as the screen shows it, as PNG bytes; nothing (with
    // lastError set) when no window is shown or it cannot be rendered.
    std::optional<NSData> shotPNG();

    // --- What a user sees (UIDriverShownText.cpp) ---
    // The part of the view's bounds, in window space, that the window and
    // every container that clips (clipsToBounds, or a scroll view: a list
    // shows only what is inside its bounds) leave shown; CGRectNull when
    // none is, or when the view or a container is hidden, nearly transparent
    // or of no size. What stands in front of it is not judged here.
    CGRect shownRect(const Ref<UIView>& view) const;
    // A line of text drawn where a user sees it, with its shown part in
    // window space.
    struct DrawnLine {
        std::string text;
        CGRect rect;
    };
    // Whether the view could be seen were it scrolled into view: it and its
    // containers are in the key window, shown, not nearly transparent and
    // of some size.
    bool isDrawable(const Ref<UIView>& view) const;
    // What the view draws inside its shown part, as its drawing lays it out
    // (an ellipsis in place of what it stands for): a label's lines, a
    // field's text (dots when secure) or, while it is empty, its
    // placeholder, a text view's lines, each when its middle lies in that
    // part. A view that draws no text of its own (a button draws its title
    // with its title label, which is seen itself) shows one empty line
    // across its bounds when its middle lies in it. Empty when nothing of it
    // is seen.
    std::vector<DrawnLine> drawnLines(const Ref<UIView>& view) const;
    // Whether anything the view draws is seen (drawnLines is not empty).
    bool isInView(const Ref<UIView>& view) const;
    // The drawn lines' texts joined: the view's text as the shot shows it.
    std::string shownText(const Ref<UIView>& view) const;
    // The text the view would show were all of it in view: its kept lines
    // (an ellipsis in place of what it stands for) joined.
    std::string keptText(const Ref<UIView>& view) const;
    // Where a finger taps the view: the middle of what it draws in view,
    // else the middle of its bounds (window space).
    CGPoint tapPoint(const Ref<UIView>& view) const;
    // Whether the view holds the query, drawn or not: "#ID", its identifier;
    // any other text, a part of its caption or value (which it may draw
    // only in part, or not at all: Sighting::kept tells).
    static bool holds(const Ref<UIView>& view, std::string_view query);
    // A view not hidden (with its containers) that holds the query, as a
    // user would look for it.
    struct Sighting {
        Ref<UIView> view;
        // The query is drawn in view: a part of the drawn text (for "#ID",
        // anything of the view is seen).
        bool drawn = false;
        // The query is a part of what the view draws, in view or not: of its
        // kept lines (keptText; always for "#ID"). A caption cut off where
        // it is drawn, or a placeholder its text replaces, is held, not kept.
        bool kept = false;
        // What the view draws is the query, whole (always for "#ID").
        bool whole = false;
        // Where a tap on it lands (tapPoint).
        CGPoint point{};
        // The view a tap there reaches first (hit-tested from the window);
        // null when nothing takes it or the query is not drawn.
        Ref<UIView> front;
    };
    // Every view holding the query, in tree order.
    std::vector<Sighting> sightings(std::string_view query) const;
    // The view as a user sees it (drawn: anything of it is seen).
    Sighting sight(const Ref<UIView>& view) const;

    // --- Scrolling and lists (UIDriverScrolling.cpp) ---
    // Drags the content of the nearest scroll view at or above `view` (the
    // first shown one in the key window for a null view) by `dy` points
    // (positive: toward the end of the content) and `dx` sideways, through
    // the scroll view's drag calls (UIScrollView::handleDragBy).
    bool scroll(const Ref<UIView>& view, CGFloat dy, CGFloat dx = 0);
    // The scroll view scroll(), pullDown() and pullUp() drag for `view`.
    Ref<UIScrollView> scrollViewFor(const Ref<UIView>& view) const;
    // The same for the scroll view under a point of the key window.
    bool scrollAt(CGPoint pointInWindow, CGFloat dy, CGFloat dx = 0);
    // Drags the scroll views that hold the view, innermost first, so that its
    // centre comes to the middle of the part of each that the window shows
    // (as far as the content goes, never past its ends, so nothing is
    // refreshed or loaded). False when none could bring it nearer.
    bool scrollToMiddle(const Ref<UIView>& view);
    // Looks for a view that matches the query (find) in the content of the
    // largest shown list that scrolls vertically: from where it stands a
    // screen at a time towards its top, then from the top towards its end,
    // within the content's ends (nothing is refreshed or loaded). A list
    // whose cells are reused keeps only the rows on screen, so a caption
    // scrolled away exists again only once its row is back. The match, or
    // null (the list is put back where it was).
    Ref<UIView> scrollToFind(std::string_view query);
    // The same search until `found` answers true; whether it did.
    bool scrollToFind(const std::function<bool()>& found);
    // The list scrollToFind searches along, or null.
    Ref<UIScrollView> searchedList() const;
    // Drags the table just far enough to show the whole row.
    bool scrollToRow(const Ref<UITableView>& table, NSIndexPath indexPath);
    // Brings the row into view and taps its centre.
    bool selectRow(const Ref<UITableView>& table, NSIndexPath indexPath);
    // Collections (UIDriverCollections.cpp): scrolls the item to the
    // collection view's top-left corner, as far as the content allows.
    bool scrollToItem(const Ref<UICollectionView>& view, const NSIndexPath& indexPath);
    // Scrolls the item into view when it is not shown, then taps its cell.
    bool selectItem(const Ref<UICollectionView>& view, const NSIndexPath& indexPath);
    // Drags the content kPullDistance past its top (pullDown) or its end
    // (pullUp) and lets go, as pull-to-refresh and load-more expect.
    bool pullDown(const Ref<UIView>& view = nullptr);
    bool pullUp(const Ref<UIView>& view = nullptr);
    static constexpr CGFloat kPullDistance = 80;

    // --- Text that does not fit (UIDriverTextFit.cpp) ---
    // Lays the key window out and answers one line per shown label whose
    // text a reader cannot see whole: cut off (lines left out, or a line
    // wider than the label) where the label's line break mode puts no
    // ellipsis, given no room at all, or drawn outside its superview's
    // bounds (a scroll view's content for a scroll view), by more than a
    // point. Views inside a container of no size are left out. Each line names
    // the label's text, class, identifier, place in the window and owning
    // view of the app, and says why. Empty when every label fits.
    std::vector<std::string> textFitFaults() const;

    // A point as a user writes it: "10,20".
    static std::string pointText(CGPoint point);

    // Lays out the key window and runs the main loop until idle.
    void settle() const;
    const std::string& lastError() const { return lastError_; }

private:
    bool fail(std::string reason);
    // Every line the view draws, seen or not, in window space.
    std::vector<DrawnLine> keptLines(const Ref<UIView>& view) const;
    // Of the view's kept lines, those seen, cut to what is shown (drawnLines).
    std::vector<DrawnLine> seenOf(const Ref<UIView>& view, std::vector<DrawnLine> kept) const;
    // tapPoint and a sighting from the view's drawn lines, read once.
    CGPoint tapPointOf(const Ref<UIView>& view, const std::vector<DrawnLine>& lines) const;
    Sighting sightingOf(const Ref<UIView>& view, const std::vector<DrawnLine>& lines, bool drawn, bool kept,
                        bool whole) const;
    // `target` names what is tapped in a failure ("on \"登录\""); the point
    // does when it is empty.
    bool deliverTap(const Ref<UIWindow>& window, CGPoint point, const std::string& target = "");
    bool drag(const Ref<UIScrollView>& scrollView, CGVector translation, const std::string& action);
    bool pull(const Ref<UIView>& view, bool down);

    std::string lastError_;
};
