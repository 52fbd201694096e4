#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <time.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <numeric>
#include <set>
#include <fstream>
#include <sstream>
#include <thread>
#include <tuple>

#include "foundation/NSBundle.h"
#include "foundation/NSLog.h"
#include "foundation/NSURL.h"
#include "foundation/UTF16.h"
#include "kits/pal/PalApi/PalApi.h"
#include "kits/pal/PalApi/PalApiDatastore.h"
#include "kits/pal/PalApi/PalApiInterface/PalApiInterface.h"
#include "kits/ripple/RPLogUtil.h"
#include "app/components/QSCScanWrapper.h"
#include "app/shell/KXAppConfiguration.h"
#include "foundation/DataFile.h"
#include "foundation/DispatchQueue.h"
#include "foundation/MonotonicClock.h"
#include "foundation/PropertyListFile.h"
#include "frameworks/hud/MBProgressHUD.h"
#include "graphics/UIImage.h"
#include "runner/RunnerOptions.h"
#include "runner/RunnerSession.h"
#include "tests/support/AppFixture.h"
#include "tests/support/TempSandbox.h"
#include "tests/support/ThreadTime.h"
#include "app/shell/KXBaseViewController.h"
#include "uikit/UIAlertController.h"
#include "uikit/UIButton.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIScrollView.h"
#include "uikit/UITabBarController.h"
#include "uikit/UITableView.h"
#include "uikit/UITapGestureRecognizer.h"
#include "uikit/UITextField.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

// A small screen: a title label, a button that counts its taps and a field.
class RunnerSessionTest : public AppFixture {
protected:
    void SetUp() override {
        UIApplication::launchForTesting(make<UIApplicationDelegate>());
        window = make<UIWindow>();
        auto controller = make<UIViewController>();
        window->setRootViewController(controller);
        window->makeKeyAndVisible();
        auto title = make<UILabel>(CGRectMake(20, 40, 200, 30));
        title->setText(std::string("推广员"));
        button = UIButton::buttonWithType(UIButtonType::System);
        button->setFrame(CGRectMake(20, 100, 120, 44));
        button->setTitle(std::string("登录"), UIControlStateNormal);
        button->addTarget(nullptr, [this](const Ref<UIControl>&) { ++taps; }, UIControlEventTouchUpInside);
        field = make<UITextField>(CGRectMake(20, 160, 200, 30));
        field->setAccessibilityIdentifier("zhanghuTextField");
        for (Ref<UIView> view : {Ref<UIView>(title), Ref<UIView>(button), Ref<UIView>(field)}) {
            controller->view()->addSubview(view);
        }
    }

    Ref<UIWindow> window;
    Ref<UIButton> button;
    Ref<UITextField> field;
    int taps = 0;
    RunnerSession session{sandbox.path() + "/shots"};
};

TEST_F(RunnerSessionTest, TapsByTextIdentifierAndPoint) {
    EXPECT_TRUE(session.execute("tap 登录").ok);
    EXPECT_TRUE(session.execute("tap 80,122").ok);
    EXPECT_EQ(taps, 2);
    auto missing = session.execute("tap 注册");
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.output.empty());
    EXPECT_FALSE(session.execute("tap").ok);
}

TEST_F(RunnerSessionTest, TapAndExpectFindOnlyTheTextDrawnInView) {
    auto screen = window->rootViewController()->view();
    // A label taller than what the window shows below it.
    auto tall = make<UILabel>(CGRectMake(20, 600, 300, 0));
    tall->setNumberOfLines(0);
    std::string lines = "TOPLINE";
    for (int line = 0; line < 60; ++line) lines += "\nfiller";
    tall->setText(lines + "\nBOTTOMLINE");
    tall->setFrame(CGRectMake(20, 600, 300, tall->sizeThatFits({300, 0}).height));
    // A name cut off after two lines.
    auto cut = make<UILabel>(CGRectMake(20, 300, 110, 40));
    cut->setNumberOfLines(2);
    cut->setLineBreakMode(NSLineBreakMode::ByTruncatingTail);
    cut->setText(std::string("songjiaverylongnameTAILMARK"));
    screen->addSubview(tall);
    screen->addSubview(cut);

    EXPECT_NE(session.execute("screen").output.find("\"TOPLINE⏎filler⏎filler"), std::string::npos);
    EXPECT_TRUE(session.execute("expect TOPLINE").ok);
    EXPECT_EQ(session.execute("expect BOTTOMLINE").output, "expect: \"BOTTOMLINE\" is not in view");
    EXPECT_TRUE(session.execute("expect songjia").ok);
    EXPECT_FALSE(session.execute("expect TAILMARK").ok);
    // Both match a part of a caption.
    EXPECT_TRUE(session.execute("expect 登").ok);
    EXPECT_TRUE(session.execute("tap 登").ok);
    EXPECT_EQ(taps, 1);

    // A text of a million line breaks is outlined in one pass.
    cut->setText(std::string(1'000'000, '\n') + "TAILMARK");
    std::string breaks;
    for (int line = 0; line < 1'000'000; ++line) breaks += "⏎";
    EXPECT_NE(session.execute("screen").output.find("\"" + breaks + "TAILMARK\""), std::string::npos);
}

TEST_F(RunnerSessionTest, AFieldOrAButtonPassesOnlyWhatItDraws) {
    // A placeholder shows only while the field is empty.
    field->setPlaceholder("请输入用户名");
    EXPECT_TRUE(session.execute("expect 请输入用户名").ok);
    ASSERT_TRUE(session.execute("type #zhanghuTextField abc").ok);
    EXPECT_EQ(session.execute("expect 请输入用户名").output, "expect: \"请输入用户名\" is not in view");
    EXPECT_TRUE(session.execute("expect abc").ok);
    // Of a value wider than the field, only the part the field draws.
    field->setText("HEADMARK " + std::string(80, 'x') + " TAILMARK");
    EXPECT_TRUE(session.execute("expect HEADMARK").ok);
    EXPECT_FALSE(session.execute("expect TAILMARK").ok);
    // A secure field draws dots.
    field->setText("abc");
    field->setSecureTextEntry(true);
    EXPECT_FALSE(session.execute("expect abc").ok);

    // A title cut off in its middle passes up to its ellipsis, on both sides.
    button->setFrame(CGRectMake(20, 100, 120, 44));
    button->setTitle(std::string("预付款(12345678912.34)"), UIControlStateNormal);
    for (auto [part, drawn] : {std::pair{"预付款(12345678912.34)", false}, {"预付款(", true}, {"912.34)", true}})
        EXPECT_EQ(session.execute("expect " + std::string(part)).ok, drawn) << part;
    EXPECT_FALSE(session.execute("tap 预付款(12345678912.34)").ok);
    EXPECT_EQ(taps, 0);
}

TEST_F(RunnerSessionTest, TapTakesAWholeCaptionOffTheScreenBeforeAPartOfOneInView) {
    auto list = make<UIScrollView>(CGRectMake(0, 0, 375, 667));
    list->setContentSize(CGSizeMake(375, 2000));
    window->rootViewController()->view()->addSubview(list);
    int withdrawals = 0, details = 0;
    for (auto [title, y, count] : {std::tuple{"提现", 100.0, &withdrawals}, {"提现明细", 900.0, &details}}) {
        auto made = UIButton::buttonWithType(UIButtonType::System);
        made->setFrame(CGRectMake(20, y, 120, 44));
        made->setTitle(std::string(title), UIControlStateNormal);
        made->addTarget(nullptr, [count](const Ref<UIControl>&) { ++*count; }, UIControlEventTouchUpInside);
        list->addSubview(made);
    }
    // 提现 scrolled away above, 提现明细 in view.
    list->setContentOffset({0, 600});
    auto result = session.execute("tap 提现");
    EXPECT_TRUE(result.ok) << result.output;
    EXPECT_EQ(withdrawals, 1);
    EXPECT_EQ(details, 0);
    EXPECT_LT(list->contentOffset().y, 600);
}

TEST_F(RunnerSessionTest, ExpectsRefusalNamesACoverAndHintsAtScrollingOnlyWhereItHelps) {
    auto screen = window->rootViewController()->view();
    auto list = make<UIScrollView>(CGRectMake(0, 300, 375, 300));
    list->setContentSize({375, 2000});
    auto far = make<UILabel>(CGRectMake(20, 1500, 200, 30));
    far->setText(std::string("FARTEXT"));
    list->addSubview(far);
    screen->addSubview(list);
    const std::string hint = " is not in view (text further down a list comes into view with scroll)";
    EXPECT_EQ(session.execute("expect FARTEXT").output, "expect: \"FARTEXT\"" + hint);
    // Text above the part of the list in view is further up.
    list->setContentOffset({0, 1700});
    EXPECT_EQ(session.execute("expect FARTEXT").output,
              "expect: \"FARTEXT\" is not in view (text further up a list comes into view with scroll and a negative "
              "distance, such as scroll -300)");
    list->setContentOffset({0, 0});
    EXPECT_EQ(session.execute("expect #nosuch").output, "expect: \"#nosuch\" is not in view");

    // A page a screen lays over its whole view.
    auto page = make<UIViewController>();
    window->rootViewController()->addChildViewController(page);
    page->view()->setFrame(screen->bounds());
    page->view()->setBackgroundColor(UIColor::whiteColor());
    auto headline = make<UILabel>(CGRectMake(20, 300, 200, 30));
    headline->setText(std::string("支付失败"));
    page->view()->addSubview(headline);
    screen->addSubview(page->view());
    const std::string cover = "the page \"支付失败\" laid over the screen (back leaves it with that screen)";
    EXPECT_EQ(session.execute("expect 推广员").output, "expect: \"推广员\" is covered by " + cover);
    EXPECT_EQ(session.execute("tap 登录").output, "tap: \"登录\" is covered by " + cover);
    // Typing would change the form the page hides, named or with the focus.
    EXPECT_EQ(session.execute("type #zhanghuTextField abc").output, "type: #zhanghuTextField is covered by " + cover);
    EXPECT_EQ(field->text(), "");
    field->becomeFirstResponder();
    EXPECT_EQ(session.execute("clear").output, "clear: the field with the focus is covered by " + cover);
}

// A list whose rows come from a later answer.
class LateRows : public NSObject, public UITableViewDataSource, public UITableViewDelegate {
public:
    long count = 0;
    long selected = -1;

    long tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) override { return count; }
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& table, NSIndexPath path) override {
        auto cell = table->dequeueReusableCellWithIdentifier("row", path);
        cell->textLabel()->setText("row " + std::to_string(path.row()));
        return cell;
    }
    void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, NSIndexPath path) override {
        selected = path.row();
    }
};

TEST_F(RunnerSessionTest, TapLooksAlongTheListForARowThatArrivesDuringItsWait) {
    auto rows = make<LateRows>();
    auto table = make<UITableView>(CGRectMake(0, 200, 375, 467));
    table->registerClass<UITableViewCell>("row");
    table->setDataSource(rows);
    table->setDelegate(rows);
    window->rootViewController()->view()->addSubview(table);
    DispatchQueue::main()->after(1, [rows, table] {
        rows->count = 80;
        table->reloadData();
    });
    auto result = session.execute("tap \"row 60\"");
    EXPECT_TRUE(result.ok) << result.output;
    EXPECT_EQ(rows->selected, 60);
}

// Rows of a first page, and the rest of the list from an answer that lands
// as the list comes back to its top after having been scrolled: while a
// search along it puts it back where it was.
class RowsOnReturnToTop : public LateRows {
public:
    UITableView* table = nullptr;
    bool scrolledAway = false;

    void scrollViewDidScroll(const Ref<UIScrollView>& list) override {
        if (list->contentOffset().y > 0) {
            scrolledAway = true;
        } else if (scrolledAway && count == 20) {
            DispatchQueue::main()->async([this] {
                count = 80;
                table->reloadData();
            });
        }
    }
};

TEST_F(RunnerSessionTest, TapLooksAgainAlongRowsThatArriveAsItsSearchPutsTheListBack) {
    auto rows = make<RowsOnReturnToTop>();
    rows->count = 20;
    auto table = make<UITableView>(CGRectMake(0, 200, 375, 467));
    rows->table = table.get();
    table->registerClass<UITableViewCell>("row");
    table->setDataSource(rows);
    table->setDelegate(rows);
    window->rootViewController()->view()->addSubview(table);
    auto result = session.execute("tap \"row 60\"");
    EXPECT_TRUE(result.ok) << result.output;
    EXPECT_EQ(rows->selected, 60);
    EXPECT_EQ(rows->count, 80);
}

TEST_F(RunnerSessionTest, TapLooksAlongTheListForAWholeCaptionBeforeTakingAPartOfOne) {
    auto rows = make<LateRows>();
    rows->count = 80;
    auto table = make<UITableView>(CGRectMake(0, 200, 375, 467));
    table->registerClass<UITableViewCell>("row");
    table->setDataSource(rows);
    table->setDelegate(rows);
    window->rootViewController()->view()->addSubview(table);
    // Rows 10 to 19 ("row 1" and more) in view; row 1's cell made again further down.
    table->setContentOffset({0, 440});
    UIDriver driver;
    driver.settle();
    ASSERT_FALSE(driver.find("row 1"));
    auto result = session.execute("tap \"row 1\"");
    EXPECT_TRUE(result.ok) << result.output;
    EXPECT_EQ(rows->selected, 1);
}

TEST_F(RunnerSessionTest, TypesIntoTheNamedOrFocusedField) {
    EXPECT_FALSE(session.execute("type demo").ok);  // nothing focused yet
    EXPECT_TRUE(session.execute("type #zhanghuTextField de").ok);
    EXPECT_TRUE(session.execute("type mo").ok);
    EXPECT_EQ(field->text(), "demo");
    EXPECT_TRUE(session.execute("return").ok);
}

TEST_F(RunnerSessionTest, ExpectPassesOnlyForWhatAUserSees) {
    EXPECT_TRUE(session.execute("expect 推广员").ok);
    EXPECT_TRUE(session.execute("expect 推广").ok);
    button->setHidden(true);
    EXPECT_FALSE(session.execute("expect 登录").ok);
    auto outline = session.execute("screen");
    EXPECT_TRUE(outline.ok);
    EXPECT_NE(outline.output.find("#zhanghuTextField"), std::string::npos);

    // A list over the screen: a figure in a container of no size under it,
    // a row below the window and a row in view.
    auto content = window->rootViewController()->view();
    auto hidden = make<UIView>(CGRectZero);
    auto figure = make<UILabel>(CGRectMake(20, 300, 100, 30));
    figure->setText(std::string("2400.00"));
    hidden->addSubview(figure);
    content->addSubview(hidden);
    auto list = make<UIScrollView>(CGRectMake(0, 250, 375, 417));
    list->setContentSize(CGSizeMake(375, 2000));
    content->addSubview(list);
    for (auto [text, y] : {std::pair{"剑影江湖", 40.0}, {"一键申请", 900.0}}) {
        auto row = make<UILabel>(CGRectMake(20, y, 200, 30));
        row->setText(std::string(text));
        list->addSubview(row);
    }
    EXPECT_TRUE(session.execute("expect 剑影江湖").ok);
    EXPECT_EQ(session.execute("expect 一键申请").output,
              "expect: \"一键申请\" is not in view (text further down a list comes into view with scroll)");
    EXPECT_FALSE(session.execute("expect 2400.00").ok);
    EXPECT_EQ(session.execute("tap 2400.00").output, "tap: \"2400.00\" is not in view, and no list scrolls it into view");
    // Given a size, the figure is still under the list.
    hidden->setFrame(content->bounds());
    EXPECT_FALSE(session.execute("expect 2400.00").ok);
    ASSERT_TRUE(session.execute("scroll 700").ok);
    EXPECT_TRUE(session.execute("expect 一键申请").ok);
}

TEST_F(RunnerSessionTest, TextInQuotesIsTypedAndFoundAsWritten) {
    ASSERT_TRUE(session.execute("type #zhanghuTextField \"  \"").ok);
    EXPECT_EQ(field->text(), "  ");
    ASSERT_TRUE(session.execute("type \" say \\\"hi\\\" \\\\ \"").ok);
    EXPECT_EQ(field->text(), "   say \"hi\" \\ ");
    EXPECT_TRUE(session.execute("tap \"登录\"").ok);
    EXPECT_EQ(taps, 1);
    EXPECT_TRUE(session.execute("expect \"推广员\"").ok);
    ASSERT_TRUE(session.execute("clear").ok);
    ASSERT_TRUE(session.execute("type \"\u3000\"").ok);  // a full-width space
    EXPECT_EQ(field->text(), "\u3000");
    EXPECT_EQ(session.execute("type \"open").output, "type: the quoted text has no closing quote");
    EXPECT_EQ(session.execute("expect \"a\" b").output,
              "expect: nothing may follow the closing quote (write \\\" for a quote inside the text)");
}

TEST_F(RunnerSessionTest, ShotsAreNumberedPNGsOfTheScreen) {
    auto result = session.execute("shot");
    ASSERT_TRUE(result.ok) << result.output;
    EXPECT_NE(result.output.find("shot-001.png"), std::string::npos);
    auto image = UIImage::imageWithContentsOfFile(sandbox.path() + "/shots/shot-001.png");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->CGImage()->width(), 750u);
    EXPECT_EQ(image->CGImage()->height(), 1334u);
    EXPECT_NE(session.execute("shot").output.find("shot-002.png"), std::string::npos);
}

TEST_F(RunnerSessionTest, BadCommandsAreReportedAndTheSessionGoesOn) {
    for (const char* bad : {"fly", "tab x", "tab 0", "wait -1", "wait soon", "open not a url", "expect"}) {
        auto result = session.execute(bad);
        EXPECT_FALSE(result.ok) << bad;
        EXPECT_FALSE(result.output.empty()) << bad;
    }
    // Each refusal is under the command's name, in lower case, without a full stop.
    EXPECT_EQ(session.execute("tab x").output, "tab: which tab? its number, 1 for the first (such as tab 2)");
    EXPECT_EQ(session.execute("tab -1").output, session.execute("tab x").output);
    const std::string notAURL = "\" is not a URL another app could open this one with: ";
    EXPECT_EQ(session.execute("open notaurl").output, "open: \"notaurl" + notAURL + "it needs a scheme, such as " +
                                                          KXAppConfiguration::rippleAppId() + "://pay/?ret=0&returnKey=k");
    EXPECT_EQ(session.execute("open rp1://%%%").output,
              "open: \"rp1://%%%" + notAURL + "its host \"%%%\" is not a host name or address");
    EXPECT_EQ(session.execute("open http://[::1").output,
              "open: \"http://[::1" + notAURL + "its host \"[::1\" is not a host name or address");
    EXPECT_EQ(session.execute("open rp1://pay/龙").output,
              "open: \"rp1://pay/龙" + notAURL + "\"/龙\" holds characters a URL does not (spaces, letters outside "
              "ASCII or a % without two hex digits after it: a URL carries them percent-encoded)");
    EXPECT_EQ(session.execute("fly").output, "fly: there is no such command (help lists the commands)");
    for (const char* name : {"quit", "screen", "log", "help", "back", "peers"})
        EXPECT_EQ(session.execute(std::string(name) + " now").output,
                  std::string(name) + ": takes nothing after its name, not \"now\"");
    const std::string file = sandbox.path() + "/file";
    std::ofstream{file};
    EXPECT_EQ(session.execute("shot " + file + "/x.png").output,
              "shot: cannot write " + file + "/x.png: " + file + " is a file, not a folder");
    EXPECT_EQ(session.execute("tab 1").output, "tab: no tab bar is on the screen, so there is no tab to select");
    EXPECT_EQ(session.execute("clear #nosuch").output, "clear: no visible view matches \"#nosuch\"");
    EXPECT_TRUE(session.execute("").ok);
    EXPECT_TRUE(session.execute("# a comment").ok);
    EXPECT_TRUE(session.execute("wait 0").ok);
    EXPECT_FALSE(session.quitRequested());
    EXPECT_TRUE(session.execute("quit").ok);
    EXPECT_TRUE(session.quitRequested());
}

TEST_F(RunnerSessionTest, TapActsOnTheCaptionInViewAndReadsSeveralInReadingOrder) {
    // Rows of a list, each with its own 复制推广, laid out bottom row first
    // (the front-most view is the top row's).
    auto list = make<UIScrollView>(CGRectMake(0, 0, 375, 667));
    list->setContentSize(CGSizeMake(375, 3000));
    window->rootViewController()->view()->addSubview(list);
    std::vector<int> copies(4);
    for (int row = 3; row >= 0; --row) {
        auto copy = UIButton::buttonWithType(UIButtonType::System);
        copy->setFrame(CGRectMake(20, 100 + 600 * row, 120, 44));
        copy->setTitle(std::string("复制推广"), UIControlStateNormal);
        copy->addTarget(nullptr, [&copies, row](const Ref<UIControl>&) { ++copies[row]; }, UIControlEventTouchUpInside);
        list->addSubview(copy);
    }
    // Row 0 scrolled away above, row 1 in view: row 1's, where the list stands.
    list->setContentOffset({0, 600});
    ASSERT_TRUE(session.execute("tap 复制推广").ok);
    EXPECT_EQ(copies, (std::vector<int>{0, 1, 0, 0}));
    EXPECT_EQ(list->contentOffset().y, 600);
    // Rows 1 and 2 both in view: the first in reading order.
    list->setContentOffset({0, 1000});
    ASSERT_TRUE(session.execute("tap 复制推广").ok);
    EXPECT_EQ(copies, (std::vector<int>{0, 1, 1, 0}));
    // None in view: one is scrolled to, as before.
    list->setContentOffset({0, 1900});
    ASSERT_TRUE(session.execute("tap 复制推广").ok);
    EXPECT_EQ(std::accumulate(copies.begin(), copies.end(), 0), 3);
}

TEST_F(RunnerSessionTest, BackUnderAPopUpIsRefusedAndNamesItAndTheTapThatClosesIt) {
    auto first = make<UIViewController>();
    auto navigation = make<UINavigationController>(first);
    window->setRootViewController(navigation);
    auto second = make<UIViewController>();
    second->setTitle("推广游戏");
    auto caption = make<UILabel>(CGRectMake(20, 200, 200, 30));
    caption->setText(std::string("复制推广"));
    second->view()->addSubview(caption);
    navigation->pushViewController(second, false);
    // A dimmed card the app lays on the window, over the bar.
    auto card = make<UIView>(window->bounds());
    auto dimming = make<UIView>(card->bounds());
    dimming->setAccessibilityIdentifier("grayView");
    dimming->addGestureRecognizer(make<UITapGestureRecognizer>(
        Ref<NSObject>(dimming), [shown = WeakRef<UIView>(card)](const Ref<UIGestureRecognizer>&) {
            if (auto closing = shown.lock()) closing->removeFromSuperview();
        }));
    card->addSubview(dimming);
    auto heading = make<UILabel>(CGRectMake(20, 500, 200, 30));
    heading->setText(std::string("分享到"));
    card->addSubview(heading);
    auto search = make<UITextField>(CGRectMake(20, 540, 200, 30));
    search->setPlaceholder("请输入搜索内容");  // a field, no button
    card->addSubview(search);
    window->addSubview(card);
    auto refused = session.execute("back");
    EXPECT_FALSE(refused.ok);
    const std::string named = "the pop-up \"分享到\" (a tap outside it closes it: tap 188,42)";
    EXPECT_EQ(refused.output, "back: the way back is covered by " + named);
    EXPECT_EQ(navigation->viewControllers().size(), 2u);
    EXPECT_EQ(session.execute("tap 复制推广").output, "tap: \"复制推广\" is covered by " + named);

    EXPECT_TRUE(session.execute("tap 188,42").ok);
    EXPECT_FALSE(card->superview());
    auto result = session.execute("back");
    EXPECT_TRUE(result.ok) << result.output;
    clock.advance(UIViewController::kTransitionDuration);  // the pop's animation ends
    EXPECT_TRUE(session.execute("wait 0").ok);
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
}

TEST_F(RunnerSessionTest, AnswersNameTheCommandAndWhatTheAppSaid) {
    EXPECT_EQ(session.execute("more").output, "more: no list there");
    EXPECT_EQ(session.execute("pull").output, "pull: no list there");
    EXPECT_EQ(session.execute("return").output, "return: nothing is being edited");
    // A field that refuses the focus while the app says why in a HUD.
    struct Refusing : NSObject, UITextFieldDelegate {
        bool textFieldShouldBeginEditing(const Ref<UITextField>&) override {
            MBProgressHUD::showHUDAddedTo(UIApplication::sharedApplication()->keyWindow(), false)->label()->setText(
                std::string("请先选择游戏"));
            return false;
        }
    };
    auto refusing = make<Refusing>();
    field->setDelegate(refusing);
    EXPECT_EQ(session.execute("type #zhanghuTextField 100").output,
              "type: the field does not take typing now: the app says \"请先选择游戏\"");
    for (const auto& [command, answer] : {std::pair{"more", "pullUp"}, {"pull", "pullDown"}, {"return", "pressReturn"}})
        EXPECT_EQ(session.execute(command).output.find(answer), std::string::npos) << command;
}

TEST_F(RunnerSessionTest, TwoSessionsOnOneFolderNeverWriteTheSameShot) {
    RunnerSession other{sandbox.path() + "/shots"};
    std::set<std::string> saved;
    for (int round = 0; round < 3; ++round)
        for (RunnerSession* each : {&session, &other}) {
            auto result = each->execute("shot");
            ASSERT_TRUE(result.ok) << result.output;
            saved.insert(result.output);
        }
    EXPECT_EQ(saved.size(), 6u);
    EXPECT_TRUE(std::filesystem::exists(sandbox.path() + "/shots/shot-006.png"));
}

TEST(RunnerOptionsTest, AScreenOutOfRangeSaysTheRangeItTakes) {
    std::string error;
    EXPECT_FALSE(RunnerOptions::parse({"--screen", "300x600"}, error));
    const std::string range = "--screen takes WIDTH 320 to 430, HEIGHT 568 to 1000 and SCALE 1 to 3 (such as 375x667@2)";
    EXPECT_EQ(error, "screen \"300x600\" is out of range: " + range);
    EXPECT_FALSE(RunnerOptions::parse({"--screen", "320x568@4"}, error));
    EXPECT_EQ(error, "screen \"320x568@4\" is out of range: " + range);
    // Shorter, a form's button would lie below the screen.
    EXPECT_FALSE(RunnerOptions::parse({"--screen", "320x567@1"}, error));
    EXPECT_TRUE(RunnerOptions::parse({"--screen", "320x568@1"}, error)) << error;
    EXPECT_FALSE(RunnerOptions::parse({"--screen", "big"}, error));
    EXPECT_NE(error.find("use WIDTHxHEIGHT[@SCALE]"), std::string::npos) << error;
    // However many digits, a number is a size, out of range when too large.
    EXPECT_FALSE(RunnerOptions::parse({"--screen", "99999999x1"}, error));
    EXPECT_EQ(error, "screen \"99999999x1\" is out of range: " + range);
    auto options = RunnerOptions::parse({"--screen", "430x1000@3"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->screenWidth, 430);
}

TEST(RunnerOptionsTest, WaitTakesSecondsUpToTheLongestWait) {
    std::string error;
    auto options = RunnerOptions::parse({}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->targetWaitSeconds, 5);
    options = RunnerOptions::parse({"--wait", "60"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->targetWaitSeconds, 60);
    EXPECT_EQ(RunnerOptions::parse({"--wait", "0.5"}, error)->targetWaitSeconds, 0.5);
    for (const char* refused : {"0", "-1", "601", "nan", "inf", "soon", ""}) {
        EXPECT_FALSE(RunnerOptions::parse({"--wait", refused}, error)) << refused;
        EXPECT_EQ(error, "--wait takes seconds, more than 0 and up to 600, not \"" + std::string(refused) + "\"");
    }
    EXPECT_FALSE(RunnerOptions::parse({"--wait"}, error));
    EXPECT_EQ(error, "--wait needs a value");
    // A person at the prompt reads the wait the session has.
    EXPECT_NE(RunnerSession::help(60).find("wait up to 60 s for TEXT"), std::string::npos);
    EXPECT_NE(RunnerSession::help().find("wait up to 5 s for TEXT"), std::string::npos);
}

TEST_F(RunnerSessionTest, OpenDeliversTheURLToTheApp) {
    struct Delegate : UIApplicationDelegate {
        std::string opened;
        bool applicationHandleOpenURL(const Ref<UIApplication>&, const Ref<NSURL>& url) override {
            opened = url->absoluteString();
            return true;
        }
    };
    // An app declaring two schemes: another app opens it with those alone.
    TempFolder bundle;
    PropertyListFile::writeToFile(
        Dictionary{{"CFBundleURLTypes", Array{Dictionary{{"CFBundleURLSchemes", Array{"rp1", "nimbus123456789"}}}}}},
        bundle / "Info.plist", true);
    NSBundle::setMainBundlePath(bundle.path());
    auto delegate = make<Delegate>();
    UIApplication::launchForTesting(delegate);
    auto result = session.execute("open nimbus123456789://auth?code=1");
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.output, "the app answered that it handled the URL");
    EXPECT_EQ(delegate->opened, "nimbus123456789://auth?code=1");
    for (const char* undeclared : {"alipay", "http"})
        EXPECT_EQ(session.execute("open " + std::string(undeclared) + "://x").output,
                  "open: the app does not declare the scheme \"" + std::string(undeclared) +
                      "\", so no other app could open it with this URL (it declares rp1 and nimbus123456789)");
    EXPECT_EQ(delegate->opened, "nimbus123456789://auth?code=1");
    UIApplication::launchForTesting(make<UIApplicationDelegate>());
    EXPECT_EQ(session.execute("open RP1://x").output,
              "the app answered that it did not handle the URL (`log` shows what it did with it)");
    NSBundle::setMainBundlePath("");
}

TEST_F(RunnerSessionTest, ScrollPullAndMoreDragTheList) {
    EXPECT_FALSE(session.execute("scroll 100").ok);  // no list on the screen yet
    auto list = make<UIScrollView>(CGRectMake(0, 200, 375, 400));
    list->setContentSize(CGSizeMake(375, 2000));
    window->rootViewController()->view()->addSubview(list);
    EXPECT_TRUE(session.execute("scroll 300").ok);
    EXPECT_GT(list->contentOffset().y, 0);
    EXPECT_FALSE(session.execute("scroll far").ok);
    EXPECT_TRUE(session.execute("pull").ok);
    EXPECT_TRUE(session.execute("more").ok);
}

TEST_F(RunnerSessionTest, ScanShowsAPictureToTheCamera) {
    auto code = QSCScanWrapper::makeCodeImage("CIQRCodeGenerator", "https://velmaro.example/p/1", CGSizeMake(200, 200),
                                              UIColor::blackColor(), UIColor::whiteColor());
    ASSERT_TRUE(code);
    const std::string file = sandbox.path() + "/code.png";
    ASSERT_EQ(DataFile::writeToFile(*UIImagePNGRepresentation(code), file, true), 0);
    auto result = session.execute("scan " + file);
    EXPECT_TRUE(result.ok) << result.output;
    EXPECT_EQ(result.output, "1 code(s) in view");
    EXPECT_FALSE(session.execute("scan " + sandbox.path() + "/missing.png").ok);
    EXPECT_FALSE(session.execute("scan").ok);

    // A refusal names the file and why.
    const std::string text = sandbox.path() + "/notes.png";
    ASSERT_EQ(DataFile::writeToFile(NSData::fromString("not a picture"), text, true), 0);
    EXPECT_EQ(session.execute("scan " + text).output,
              "scan: cannot read the picture " + text + ": it is neither a PNG nor a JPEG picture");
    EXPECT_EQ(session.execute("scan /proc/self/mem").output, "scan: cannot read /proc/self/mem: input/output error");
}

TEST_F(RunnerSessionTest, TapWaitsForAnOverlayToGoAndNamesOneThatStays) {
    auto overlay = make<UIView>(CGRectMake(0, 0, 375, 667));
    overlay->setAccessibilityIdentifier("overlay");
    window->addSubview(overlay);
    auto covered = session.execute("tap 登录");
    EXPECT_FALSE(covered.ok);
    EXPECT_EQ(covered.output, "tap: \"登录\" is covered by the pop-up");
    EXPECT_EQ(taps, 0);

    // An overlay that goes while the tap waits lets the tap through.
    DispatchQueue::main()->async([overlay] { overlay->removeFromSuperview(); });
    EXPECT_TRUE(session.execute("tap 登录").ok);
    EXPECT_EQ(taps, 1);
}

TEST_F(RunnerSessionTest, TapGoesThroughACaptionsOwnButtonButNotThroughAnOverlay) {
    // A column: the caption under a transparent button of its own.
    auto content = window->rootViewController()->view();
    auto column = make<UIView>(CGRectMake(200, 220, 100, 100));
    auto caption = make<UILabel>(CGRectMake(20, 60, 60, 20));
    caption->setText(std::string("人气榜"));
    auto own = UIButton::buttonWithType(UIButtonType::Custom);
    own->setFrame(CGRectMake(20, 10, 60, 70));
    int ownTaps = 0;
    own->addTarget(nullptr, [&](const Ref<UIControl>&) { ++ownTaps; }, UIControlEventTouchUpInside);
    column->addSubview(caption);
    column->addSubview(own);
    content->addSubview(column);
    auto result = session.execute("tap 人气榜");
    EXPECT_TRUE(result.ok) << result.output;
    EXPECT_EQ(ownTaps, 1);

    // A plain view laid over a caption (a cell's content view) hands the tap
    // to the cell they share.
    auto cell = make<UIView>(CGRectMake(200, 340, 100, 60));
    auto name = make<UILabel>(CGRectMake(0, 40, 100, 20));
    name->setText(std::string("神域传说"));
    cell->addSubview(name);
    cell->addSubview(make<UIView>(cell->bounds()));
    int cellTaps = 0;
    cell->addGestureRecognizer(
        make<UITapGestureRecognizer>(Ref<NSObject>(cell), [&](const Ref<UIGestureRecognizer>&) { ++cellTaps; }));
    content->addSubview(cell);
    result = session.execute("tap 神域传说");
    EXPECT_TRUE(result.ok) << result.output;
    EXPECT_EQ(cellTaps, 1);

    // A transparent button over the whole screen is not the caption's.
    auto backdrop = UIButton::buttonWithType(UIButtonType::Custom);
    backdrop->setFrame(content->bounds());
    content->addSubview(backdrop);
    auto covered = session.execute("tap 人气榜");
    EXPECT_FALSE(covered.ok);
    EXPECT_EQ(covered.output, "tap: \"人气榜\" is covered by a button on the screen");
    backdrop->removeFromSuperview();

    // A HUD in front is refused and named, over the caption's button too.
    ASSERT_TRUE(MBProgressHUD::showHUDAddedTo(content, false));
    covered = session.execute("tap 人气榜");
    EXPECT_FALSE(covered.ok);
    EXPECT_EQ(covered.output, "tap: \"人气榜\" is covered by the progress message (it goes by itself once the app is done)");
    EXPECT_EQ(ownTaps, 1);
}

TEST_F(RunnerSessionTest, TapScrollsItsTargetToTheMiddleFirstAndNamesWhatStaysInTheWay) {
    auto content = window->rootViewController()->view();
    auto list = make<UIScrollView>(CGRectMake(0, 0, 375, 667));
    list->setContentSize(CGSizeMake(375, 2000));
    content->addSubview(list);
    int applied = 0, copied = 0;
    auto button = [&](const char* title, CGFloat y, int& count) {
        auto made = UIButton::buttonWithType(UIButtonType::System);
        made->setFrame(CGRectMake(20, y, 335, 44));
        made->setTitle(std::string(title), UIControlStateNormal);
        made->addTarget(nullptr, [&count](const Ref<UIControl>&) { ++count; }, UIControlEventTouchUpInside);
        list->addSubview(made);
    };
    // One far below the screen, one under a bar laid over the list's bottom.
    button("一键申请", 1500, applied);
    button("复制推广", 600, copied);
    auto bar = make<UIView>(CGRectMake(0, 580, 375, 87));
    content->addSubview(bar);
    auto result = session.execute("tap 一键申请");
    EXPECT_TRUE(result.ok) << result.output;
    EXPECT_EQ(applied, 1);
    list->setContentOffset({0, 0});
    result = session.execute("tap 复制推广");
    EXPECT_TRUE(result.ok) << result.output;
    EXPECT_EQ(copied, 1);
    // Scrolled, neither ends past the content's ends (no load-more pull).
    EXPECT_LE(list->contentOffset().y, 2000 - 667);

    // Out of every list and off the screen: told where it is.
    auto below = UIButton::buttonWithType(UIButtonType::System);
    below->setFrame(CGRectMake(20, 700, 120, 44));
    below->setTitle(std::string("提交"), UIControlStateNormal);
    content->addSubview(below);
    EXPECT_EQ(session.execute("tap 提交").output,
              "tap: \"提交\" lies off the screen: its centre 80,722 is below the 375 x 667 screen, and no list "
              "scrolls it into view");

    // A plain view in the way is named with the view it belongs to.
    auto panel = make<UIView>(CGRectMake(0, 0, 375, 300));
    panel->setAccessibilityIdentifier("panel");
    panel->addSubview(make<UIView>(panel->bounds()));
    content->addSubview(panel);
    // A screen is named by a title the user sees, and this one shows none.
    window->rootViewController()->setTitle("登录页");
    EXPECT_EQ(session.execute("tap 登录").output, "tap: \"登录\" is covered by the view #panel on the screen");
}

TEST_F(RunnerSessionTest, TabWaitsForAHUDOverTheBarAndNamesOneThatStays) {
    auto tabs = make<UITabBarController>();
    auto first = make<UIViewController>();
    first->setTitle("首页");
    auto second = make<UIViewController>();
    second->setTitle("资产");
    tabs->setViewControllers({first, second});
    window->setRootViewController(tabs);
    // A HUD takes every tap while it shows: the tab must not be reported
    // selected when the HUD swallowed the tap.
    auto hud = MBProgressHUD::showHUDAddedTo(window, false);
    auto covered = session.execute("tab 2");
    EXPECT_FALSE(covered.ok);
    EXPECT_EQ(covered.output, "tab: tab 2 is covered by the progress message (it goes by itself once the app is done)");
    EXPECT_EQ(tabs->selectedIndex(), 0u);

    DispatchQueue::main()->async([hud] { hud->hideAnimated(false); });
    auto result = session.execute("tab 2");
    EXPECT_TRUE(result.ok) << result.output;
    EXPECT_EQ(tabs->selectedIndex(), 1u);
    EXPECT_EQ(session.execute("tab 3").output, "tab: there is no tab 3: the tab bar has tabs from 1 to 2");
    EXPECT_EQ(session.execute("tab 0").output, "tab: which tab? its number, from 1 to 2 (such as tab 2)");
    // A screen pushed over a tab's first one hides the bar: refused at once,
    // and the same under an action sheet; a shown bar under the sheet is covered.
    tabs->tabBar()->setHidden(true);
    const std::string hidden = "tab: the tab bar is hidden on this screen: go back to a tab's first screen to select a tab";
    const double before = MonotonicClock::now();
    EXPECT_EQ(session.execute("tab 1").output, hidden);
    EXPECT_EQ(MonotonicClock::now(), before);
    auto sheet = UIAlertController::alertControllerWithTitle("删除", "确定要删除", UIAlertControllerStyle::ActionSheet);
    sheet->addAction(UIAlertAction::actionWithTitle("取消", UIAlertActionStyle::Default, nullptr));
    second->presentViewController(sheet, false);
    EXPECT_EQ(session.execute("tab 1").output, hidden);
    tabs->tabBar()->setHidden(false);
    EXPECT_EQ(session.execute("tab 1").output,
              "tab: tab 1 is covered by the action sheet \"删除\" with the button 取消 (a tap on one of its buttons closes it)");
}

TEST_F(RunnerSessionTest, ClearEmptiesAFieldAndTypingCostsWhatItAddsNotTheWholeText) {
    ASSERT_TRUE(session.execute("type #zhanghuTextField dmeo").ok);
    ASSERT_TRUE(session.execute("clear #zhanghuTextField").ok);
    EXPECT_EQ(field->text(), "");
    ASSERT_TRUE(session.execute("type demo").ok);  // the cleared field keeps the focus
    EXPECT_EQ(field->text(), "demo");
    ASSERT_TRUE(session.execute("clear").ok);
    EXPECT_EQ(field->text(), "");

    // `type` goes a character at a time, each costing what it adds: typing
    // after a text of two million characters takes about the work it takes
    // after one of four thousand (a copy of the text per character made it
    // some hundred times more). The work is this thread's processor time.
    // (The delete key's cost is the text field's own: `clear` presses it
    // once per character.) Each command also looks once at the field, for a
    // page laid over it, which costs what its whole text costs: the typed
    // text is long enough for that once to stay small beside the typing.
    const std::string typed(16000, 'y');
    auto typingTime = [&](std::size_t before) {
        field->setText(std::string(before, 'x'));
        // The field counts the text it was given once, at the first edit: not measured.
        EXPECT_TRUE(session.execute("type x").ok);
        const double started = threadProcessorSeconds();
        EXPECT_TRUE(session.execute("type " + typed).ok);
        const double spent = threadProcessorSeconds() - started;
        EXPECT_EQ(field->text(), std::string(before + 1, 'x') + typed);
        return spent;
    };
    const double afterShort = typingTime(4000), afterLong = typingTime(2000000);
    EXPECT_LT(afterLong, 3 * afterShort) << afterShort << " s, then " << afterLong << " s";
}

TEST_F(RunnerSessionTest, ScanTakesOnlyRegularFiles) {
    const std::string fifo = sandbox.path() + "/fifo", loop = sandbox.path() + "/loop";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(symlink("loop-back", loop.c_str()), 0);
    ASSERT_EQ(symlink("loop", (sandbox.path() + "/loop-back").c_str()), 0);
    const std::vector<std::pair<std::string, std::string>> rows{{sandbox.path(), "not a file"},
                                                                {fifo, "not a file"},
                                                                {"/dev/zero", "not a file"},
                                                                {loop, "is a loop of links"}};
    for (const auto& [path, said] : rows) {
        auto result = session.execute("scan " + path);
        EXPECT_FALSE(result.ok) << path;
        EXPECT_NE(result.output.find(said), std::string::npos) << result.output;
    }
}

TEST_F(RunnerSessionTest, TheRippleKitsLinesReachTheLogAndPeersTellsWhatRippleReceived) {
    RPLogUtil::logError("register appid is nil");
    EXPECT_NE(session.execute("log").output.find("rplog:Error:register appid is nil"), std::string::npos);

    const std::string nothing =
        "Ripple: nothing received\nAlipay: nothing received\nPal: nothing received\nPalWork: nothing received\n"
        "PalSpace: nothing received\n";
    EXPECT_EQ(session.execute("peers").output, nothing);
    EXPECT_TRUE(UIApplication::sharedApplication()->canOpenURL(NSURL::URLWithString("ripple://")));
    UIApplication::sharedApplication()->openURL(NSURL::URLWithString("ripple://app/rp1/openranklist/"));
    ASSERT_TRUE(runUntil([&] { return session.execute("peers").output != nothing; }));
    EXPECT_EQ(session.execute("peers").output,
              "Ripple: 1 received\n  ripple://app/rp1/openranklist/\n    openranklist: noted\n"
              "Alipay: nothing received\nPal: nothing received\nPalWork: nothing received\nPalSpace: nothing received\n");
    EXPECT_NE(RunnerSession::help().find("peers"), std::string::npos);
}

TEST_F(RunnerSessionTest, LogKeepsLogLinesWholeAndPrintsAnAnswerOnOneLineCut) {
    const std::string kitLine = "rplog:Info:" + std::string(300, 'k');
    NSLog(kitLine);
    std::string answer = "***********{\n";
    for (int entry = 0; entry < 60; ++entry) answer += "    name" + std::to_string(entry) + " = \"推广员\";\n";
    NSLog(answer + "}");
    NSLog("请求失败--原因:签名错误");

    std::vector<std::string> lines;
    std::istringstream output(session.execute("log").output);
    for (std::string line; std::getline(output, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 3u) << output.str();
    EXPECT_EQ(lines[0], kitLine);
    EXPECT_EQ(lines[1].rfind("***********{ name0 = \"推广员\"; name1 = ", 0), 0u) << lines[1];
    EXPECT_EQ(UTF16::length(lines[1]), 201u) << lines[1];  // 200 characters and the ellipsis
    EXPECT_EQ(lines[1].substr(lines[1].size() - 3), "…");
    EXPECT_EQ(lines[2], "请求失败--原因:签名错误");
}

TEST_F(RunnerSessionTest, LogShowsEachLineOnceThoughLinesComeWhileItReads) {
    std::atomic<bool> finished = false;
    std::thread logging([&] {
        for (int line = 0; line < 25; ++line) NSLog("line " + std::to_string(line) + ".");
        finished = true;
    });
    while (!finished) session.execute("log");
    logging.join();
    const std::string output = session.execute("log").output;
    for (int line = 0; line < 25; ++line) {
        const std::string text = "line " + std::to_string(line) + ".\n";
        const std::size_t first = output.find(text);
        EXPECT_NE(first, std::string::npos) << text << output;
        EXPECT_EQ(output.find(text, first + 1), std::string::npos) << text << output;
    }
    EXPECT_EQ(session.execute("log").output, output);
}

TEST_F(RunnerSessionTest, PeersTellsWhatThePalAppsReceived) {
    PalApi::registerPluginWithId("Pal000004D2");
    EXPECT_EQ(PalApiInterface::sendReq(SendMessageToPalReq::reqWithContent(PalApiTextObject::objectWithText("你好"))), 0);
    ASSERT_TRUE(runUntil([&] { return session.execute("peers").output.find("Pal: 1 received") != std::string::npos; }));
    const std::string output = session.execute("peers").output;
    EXPECT_NE(output.find("    share file_type=text"), std::string::npos) << output;
    EXPECT_NE(output.find("PalWork: nothing received"), std::string::npos) << output;
    PalApiDatastore::instance()->setScheme(std::nullopt);
    EXPECT_NE(RunnerSession::help().find("peers"), std::string::npos);
}

TEST_F(RunnerSessionTest, RefusalsNameWhatTheUserSeesInTheirOwnWords) {
    const std::pair<const char*, const char*> answers[] = {
        {"tap -5,-5", "tap: -5,-5 is above the 375 x 667 screen"},
        {"tap 1e308,1", "tap: 1e308,1 is right of the 375 x 667 screen"},
        {"tap 推广员", "tap: nothing handled a tap on \"推广员\""},
        {"tap 300,600", "tap: nothing handled a tap at 300,600"},
        {"back", "back: there is no screen to go back to from here"},
        {"tap #", "tap: # names no view: put the view's name after it, such as #dengluBut"},
        {"shot \"\"", "shot: \"\" names no file (shot alone saves a numbered shot in the session folder)"},
        {"shot /proc/shot.png", "shot: cannot write /proc/shot.png: the folder /proc cannot hold new files"},
    };
    for (const auto& [command, answer] : answers) {
        auto result = session.execute(command);
        EXPECT_FALSE(result.ok) << command;
        EXPECT_EQ(result.output, answer);
    }
    EXPECT_EQ(taps, 0);  // `tap #` took no view for having no name
}

TEST_F(RunnerSessionTest, APopUpStopsEveryGestureOnTheScreenBeneathButNotOnItsOwnList) {
    auto list = make<UIScrollView>(CGRectMake(0, 200, 375, 400));
    list->setContentSize(CGSizeMake(375, 2000));
    window->rootViewController()->view()->addSubview(list);
    // A dimmed card the app lays on the window.
    auto card = make<UIView>(window->bounds());
    window->addSubview(card);
    EXPECT_EQ(session.execute("scroll 300").output, "scroll: the list is covered by the pop-up");
    EXPECT_EQ(list->contentOffset().y, 0);
    EXPECT_EQ(session.execute("type #zhanghuTextField XYZ").output, "type: #zhanghuTextField is covered by the pop-up");
    EXPECT_EQ(field->text(), "");

    // A list of the pop-up's own under the finger is the one dragged.
    auto own = make<UIScrollView>(CGRectMake(0, 300, 375, 300));
    own->setContentSize(CGSizeMake(375, 1000));
    card->addSubview(own);
    auto result = session.execute("scroll 200");
    EXPECT_TRUE(result.ok) << result.output;
    EXPECT_GT(own->contentOffset().y, 0);
    EXPECT_EQ(list->contentOffset().y, 0);
}

namespace {

// A cover that starts going as soon as a touch is tested against it, as a
// fading progress message does: what waits for it gets through.
class FadingCover : public UIView {
public:
    using UIView::UIView;
    bool pointInside(CGPoint point, UIEvent* event) override {
        if (!going_) {
            going_ = true;
            DispatchQueue::main()->async([cover = self<UIView>()] { cover->removeFromSuperview(); });
        }
        return UIView::pointInside(point, event);
    }

private:
    bool going_ = false;
};

}  // namespace

TEST_F(RunnerSessionTest, BackWaitsForAFadingCoverWithTheSystemBarAndWithout) {
    auto navigation = make<UINavigationController>(make<UIViewController>());
    window->setRootViewController(navigation);
    for (bool systemBar : {true, false}) {
        navigation->setNavigationBarHidden(!systemBar, false);
        navigation->pushViewController(make<UIViewController>(), false);
        window->addSubview(make<FadingCover>(window->bounds()));
        auto result = session.execute("back");
        EXPECT_TRUE(result.ok) << systemBar << ": " << result.output;
        clock.advance(UIViewController::kTransitionDuration);  // the pop's animation ends
        EXPECT_TRUE(session.execute("wait 0").ok);
        EXPECT_EQ(navigation->viewControllers().size(), 1u) << systemBar;
    }
}

TEST_F(RunnerSessionTest, ACommandRightAfterATapThatPushesAScreenActsOnTheNewScreen) {
    auto first = window->rootViewController();
    auto navigation = make<UINavigationController>(first);
    window->setRootViewController(navigation);
    auto listOn = [](const Ref<UIViewController>& screen) {
        auto list = make<UIScrollView>(CGRectMake(0, 250, 375, 417));
        list->setContentSize(CGSizeMake(375, 2000));
        screen->view()->addSubview(list);
        return list;
    };
    auto underneath = listOn(first);
    auto second = make<UIViewController>();
    auto pushed = listOn(second);
    button->addTarget(nullptr, [&](const Ref<UIControl>&) { navigation->pushViewController(second, true); },
                      UIControlEventTouchUpInside);
    ASSERT_TRUE(session.execute("tap 登录").ok);
    auto result = session.execute("scroll 300");
    EXPECT_TRUE(result.ok) << result.output;
    EXPECT_GT(pushed->contentOffset().y, 0);
    EXPECT_EQ(underneath->contentOffset().y, 0);
}

TEST_F(RunnerSessionTest, AScreenIsNamedByTheTitleItShows) {
    // A tab's screen whose own bar (with a placeholder title) is hidden:
    // the shown tab bar names it.
    struct Assets : KXBaseViewController {
        void viewDidLoad() override {
            KXBaseViewController::viewDidLoad();
            navigationView()->titleLabel()->setText("-");
            navigationView()->setHidden(true);
        }
    };
    auto tabs = make<UITabBarController>();
    auto assets = make<Assets>();
    assets->tabBarItem()->setTitle("资产");
    tabs->setViewControllers({make<UIViewController>(), make<UINavigationController>(assets)});
    window->setRootViewController(tabs);
    ASSERT_TRUE(session.execute("tab 2").ok);
    auto caption = UIButton::buttonWithType(UIButtonType::System);
    caption->setFrame(CGRectMake(20, 200, 200, 30));
    caption->setTitle(std::string("推广游戏"), UIControlStateNormal);
    auto panel = make<UIView>(CGRectMake(0, 150, 375, 200));
    panel->setAccessibilityIdentifier("panel");
    for (const auto& view : {Ref<UIView>(caption), panel}) assets->view()->addSubview(view);
    EXPECT_EQ(session.execute("tap 推广游戏").output, "tap: \"推广游戏\" is covered by the view #panel on the screen 资产");
}

TEST_F(RunnerSessionTest, AnActionSheetIsNamedWithItsButtonsAndTapReachesThem) {
    auto sheet = UIAlertController::alertControllerWithTitle("删除", "确定要删除", UIAlertControllerStyle::ActionSheet);
    std::string chosen;
    for (const char* title : {"确定", "取消"})
        sheet->addAction(UIAlertAction::actionWithTitle(title, UIAlertActionStyle::Default,
                                                        [&chosen, title](const Ref<UIAlertAction>&) { chosen = title; }));
    button->setTitle(std::string("删除"), UIControlStateNormal);
    window->rootViewController()->presentViewController(sheet, true);
    const std::string named =
        "the action sheet \"删除\" with the buttons 确定 and 取消 (a tap on one of its buttons closes it)";
    EXPECT_EQ(session.execute("tap 删除").output, "tap: nothing handled a tap on \"删除\" in " + named);
    EXPECT_EQ(session.execute("back").output, "back: the way back is covered by " + named);
    EXPECT_EQ(taps, 0);
    EXPECT_TRUE(session.execute("tap 确定").ok);
    EXPECT_TRUE(session.execute("wait 0").ok);  // once the sheet has gone
    EXPECT_EQ(chosen, "确定");
}

TEST_F(RunnerSessionTest, BackAndTabUnderAPresentedScreenNameItsWayOut) {
    auto tabs = make<UITabBarController>();
    auto home = window->rootViewController();
    home->setTitle("首页");
    auto second = make<UIViewController>();
    second->setTitle("资产");
    tabs->setViewControllers({home, second});
    window->setRootViewController(tabs);
    auto preview = make<UIViewController>();
    preview->setModalPresentationStyle(UIModalPresentationStyle::FullScreen);
    for (auto [title, x] : {std::pair{"<", 10.0}, {"完成", 280.0}}) {
        auto close = UIButton::buttonWithType(UIButtonType::System);
        close->setFrame(CGRectMake(x, 30, 60, 40));
        close->setTitle(std::string(title), UIControlStateNormal);
        close->addTarget(
            nullptr,
            [shown = std::weak_ptr(preview)](const Ref<UIControl>&) { shown.lock()->dismissViewControllerAnimated(true); },
            UIControlEventTouchUpInside);
        preview->view()->addSubview(close);
    }
    tabs->presentViewController(preview, true);
    EXPECT_EQ(session.execute("back").output,
              "back: the screen is presented over the others and has no screen to go back to: its own buttons close "
              "it (tap < or tap 完成)");
    // `back` is refused there, so the tab's refusal says what closes the screen.
    EXPECT_EQ(session.execute("tab 2").output,
              "tab: the tab bar is under the screen, presented over the others: its own buttons close it (tap < or "
              "tap 完成)");
    ASSERT_TRUE(session.execute("tap 完成").ok);
    EXPECT_TRUE(session.execute("tap 登录").ok);
    EXPECT_EQ(taps, 1);
    EXPECT_TRUE(session.execute("tab 2").ok);
    EXPECT_EQ(tabs->selectedIndex(), 1u);
}
