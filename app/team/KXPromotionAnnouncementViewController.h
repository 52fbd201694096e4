#pragma once

#include "app/team/KXPageLoader.h"
#include "app/team/KXPromotionAnnouncementModel.h"
#include "uikit/UITableView.h"
#include "uikit/UIViewController.h"

// The 推广公告 screen: the back end's announcements ("news") as cards, page
// by page (pull down to reload, pull up for more); a tap opens the
// announcement's page ("news_info") in the web page screen. The table fills
// the screen's view, without a column header row.
class KXPromotionAnnouncementViewController : public UIViewController,
                                              public UITableViewDataSource,
                                              public UITableViewDelegate {
public:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // Background, table and title.
    void setCommonProperties();
    // The refresh header and footer; the first page loads at once.
    void addrefreshControl();

    // The table, made on first use.
    Ref<UITableView> mainTabelView();
    // The paging state: p(), max_p() and the announcements shown.
    const Ref<KXPageLoader>& loader() const { return loader_; }
    Ref<KXPromotionAnnouncementModel> announcementAt(std::size_t row) const;

    long tableViewNumberOfRowsInSection(const Ref<UITableView>& tableView, long section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                        NSIndexPath indexPath) override;
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                            NSIndexPath indexPath) override;
    // Opens the tapped announcement's page.
    void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>& tableView, NSIndexPath indexPath) override;

    std::string className() const override { return "KXPromotionAnnouncementViewController"; }

protected:
    void didCreate() override;

private:
    Ref<KXPageLoader> loader_;
    Ref<UITableView> mainTabelView_;
};
