#pragma once

#include <string>
#include <vector>

#include "app/shell/KXBaseViewController.h"
#include "app/shell/KXHttpManager.h"
#include "app/shell/KXToastSequence.h"
#include "app/tabs/promote/KXPromoteGameRows.h"

// What the promote list page and the promote search screen share: their
// table of game rows, the games of `keyword` and `type` ("mygames") loaded
// page by page into `modelArr` with a load-more footer, and a tap on a row
// opening the game's details.
//
// Page 1 hides the footer and asks afresh: the answer replaces the rows,
// but an empty one for the list the rows hold keeps them (KXHttpManager's
// keptRows), and the footer shows while there are rows; a failure hides the
// footer. A next page asks for the page after the last that arrived, of the
// keyword and type the rows were loaded with (nothing while a page is
// under way: the footer refreshes until that page answers); a non-empty
// answer is appended. The footer never reports the end of the data. A
// failed page is toasted on the screen's view, in the turn of `toasts`: the
// screen's own sequence, or the one of the tab that shows it as a page.
class KXPromoteGameListScreen : public KXBaseViewController {
public:
    const Ref<UITableView>& tableView() const { return tableView_; }
    const Ref<KXHttpManager>& httpManager() const { return httpManager_; }
    const std::vector<Ref<Velmaro::KXPromoteGameModel>>& modelArr() const { return modelArr_; }
    const std::string& keyword() const { return keyword_; }
    void setKeyword(std::string keyword) { keyword_ = std::move(keyword); }
    const std::string& type() const { return type_; }
    void setType(std::string type) { type_ = std::move(type); }
    void setToasts(KXToastSequence toasts) { toasts_ = std::move(toasts); }

    void loadNewData();
    void loadMoreData();

protected:
    // The data source of the table.
    virtual Ref<KXPromoteGameRows> rows() const = 0;
    // Makes the table over the data source and adds it to the view.
    void makeTableView();
    // Installs the hidden load-more footer.
    void installFooter();
    // Pushes the game's details on the screen's stack.
    void openGame(const Ref<Velmaro::KXPromoteGameModel>& game);

private:
    void showRows();
    void setFooterHidden(bool hidden);

    Ref<UITableView> tableView_;
    Ref<KXHttpManager> httpManager_ = make<KXHttpManager>();
    std::vector<Ref<Velmaro::KXPromoteGameModel>> modelArr_;
    std::string keyword_;
    std::string type_;
    KXToastSequence toasts_;
};
