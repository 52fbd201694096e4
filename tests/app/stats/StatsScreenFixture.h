#pragma once

#include <functional>
#include <string>

#include "app/shell/KXNavigationController.h"
#include "frameworks/hud/MBProgressHUD.h"
#include "tests/app/DemoPromoterFixture.h"
#include "uikit/UILabel.h"
#include "uikit/UITableView.h"

// A statistics screen as the menus open it: the root of a tab's stack in the
// key window, against the local back end as the demo promoter.
class StatsScreenFixture : public DemoPromoterFixture {
protected:
    // Shows the screen and runs the loop until `loaded` holds.
    template <class Screen> Ref<Screen> open(const Ref<Screen>& screen, const std::function<bool()>& loaded) {
        stack = make<KXNavigationController>(screen);
        showInWindow(stack);
        EXPECT_TRUE(runUntil(loaded)) << "the screen's first answer did not arrive";
        driver.settle();
        return screen;
    }
    // The text of the toast on the view ("" when none shows).
    static std::string toastOn(const Ref<UIView>& view) {
        auto hud = MBProgressHUD::HUDForView(view);
        return hud ? hud->detailsLabel()->text() : std::string();
    }
    // Pulls up past the end of the list, once the rows on the way there
    // have been measured (automatic heights grow the content as rows show).
    bool loadMore(const Ref<UIScrollView>& list) {
        for (CGFloat before = -1; before != list->contentSize().height;) {
            before = list->contentSize().height;
            driver.scroll(list, list->maximumContentOffset().y - list->contentOffset().y);
        }
        return driver.pullUp(list);
    }
    // The cell of a table row, brought into view.
    template <class Cell> Ref<Cell> rowOf(const Ref<UITableView>& table, long index) {
        const auto path = NSIndexPath::indexPathForRow(index, 0);
        if (!driver.scrollToRow(table, path)) {
            ADD_FAILURE() << driver.lastError();
            return nullptr;
        }
        return std::dynamic_pointer_cast<Cell>(table->cellForRowAtIndexPath(path));
    }
    // From here on the requests are signed for a promoter the back end does
    // not know, which it refuses with a message.
    static void signInAsStranger() { KXLocallyStoredData::setUserID("999"); }
    static constexpr const char* kStrangerMessage = "用户不存在，请重新登录";

    Ref<KXNavigationController> stack;
};
