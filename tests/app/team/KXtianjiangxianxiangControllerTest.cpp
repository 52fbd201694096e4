#include <condition_variable>
#include <mutex>

#include "app/shell/WMUtil.h"
#include "app/team/KXTeamColors.h"
#include "app/team/KXtianjiangxianxiangController.h"
#include "TeamScreenFixture.h"
#include "uikit/UINavigationItem.h"

namespace {

class AddSubPromoterScreen : public TeamScreenFixture {
protected:
    Ref<KXtianjiangxianxiangController> open() {
        auto screen = push<KXtianjiangxianxiangController>();
        EXPECT_TRUE(runUntil([&] { return screen->storageButMuArr().size() == 3; }));
        return screen;
    }
    void fill(const std::string& username, const std::string& password, const std::string& phone) {
        for (const auto& [field, text] : {std::pair{"#yonghuTextField", username}, std::pair{"#mimaTextFeild", password},
                                          std::pair{"#phoneTextFeild", phone}}) {
            auto view = cast<UITextField>(driver.find(field));
            ASSERT_TRUE(view) << field;
            view->setText("");
            if (!text.empty()) {
                ASSERT_TRUE(driver.typeText(view, text));
            }
        }
    }
    static bool looksChosen(const Ref<UIButton>& button) {
        return button->backgroundColor() == KXTeamColors::accentBlue();
    }
};

TEST_F(AddSubPromoterScreen, LoadsTheLevelsAsButtonsWithTheFirstChosenAndTheSignInAllowed) {
    auto screen = open();
    EXPECT_EQ(screen->navigationItem()->title(), "添加下线");
    const auto& buttons = screen->storageButMuArr();
    const std::vector<std::string> titles = {"初级", "中级", "高级"};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i]->currentTitle(), titles[i]);
        EXPECT_EQ(buttons[i]->frame().origin.x, 20 + 65 * static_cast<CGFloat>(i));
        EXPECT_EQ(buttons[i]->superview(), screen->fenchengView());
        EXPECT_EQ(looksChosen(buttons[i]), i == 0);
    }
    ASSERT_TRUE(screen->xuanzhongDic());
    EXPECT_EQ((*screen->xuanzhongDic())["title"].description(), "初级");
    EXPECT_EQ(screen->yongxunStr(), "1");
    EXPECT_TRUE(looksChosen(screen->allowBut()));
    EXPECT_FALSE(looksChosen(screen->RefusedBut()));
    EXPECT_EQ(screen->RefusedBut()->frame().origin.x, 85);
    EXPECT_EQ(sent("down_fcbl").size(), 1u);
    shot("add-sub-promoter");

    // The password keyboard is ASCII, the phone's a phone pad; return ends typing.
    EXPECT_EQ(screen->mimaTextFeild()->keyboardType(), UIKeyboardType::ASCIICapable);
    EXPECT_EQ(screen->phoneTextFeild()->keyboardType(), UIKeyboardType::PhonePad);
    ASSERT_TRUE(driver.typeText("#yonghuTextField", "a"));
    ASSERT_TRUE(driver.pressReturn());
    EXPECT_FALSE(screen->yonghuTextField()->isFirstResponder());
}

TEST_F(AddSubPromoterScreen, ChecksRunInOrderAndStopTheSubmit) {
    auto screen = open();
    const std::vector<std::tuple<std::string, std::string, std::string, std::string>> cases = {
        {"", "", "", "用户名不能为空"},
        {"xinren", "", "", "密码不能为空"},
        {"xinren", "pass word", "", "密码不能有空格"},
        {"xinren", "secret1", "", "电话不能为空"},
        {"xinren", "secret1", "16612345678", "请输入正确的电话号码"},
        {"xinren", "secret1", "1381234567", "请输入正确的电话号码"},
        {"xinren", "secret1", "15412345678", "请输入正确的电话号码"},
    };
    for (const auto& [username, password, phone, message] : cases) {
        fill(username, password, phone);
        ASSERT_TRUE(driver.tap("#yijianBut"));
        EXPECT_EQ(hudText(), message) << username << "/" << password << "/" << phone;
        letHUDsHide();
    }
    EXPECT_TRUE(sent("down_add").empty());
    EXPECT_EQ(top(), screen);
}

TEST_F(AddSubPromoterScreen, AddingSendsTheChosenLevelAndPermissionThenClosesAndTheAccountIsListed) {
    auto screen = open();
    fill("xinren", "secret1", "13812345678");
    ASSERT_TRUE(driver.tap("高级"));
    EXPECT_TRUE(looksChosen(screen->storageButMuArr()[2]));
    EXPECT_FALSE(looksChosen(screen->storageButMuArr()[0]));
    ASSERT_TRUE(driver.tap("#RefusedBut"));
    EXPECT_EQ(screen->yongxunStr(), "2");
    EXPECT_TRUE(looksChosen(screen->RefusedBut()));
    EXPECT_FALSE(looksChosen(screen->allowBut()));

    ASSERT_TRUE(driver.tap("#yijianBut"));
    ASSERT_TRUE(runUntil([&] { return top() != screen; }));
    clock.advance(UIViewController::kTransitionDuration);
    driver.settle();
    EXPECT_EQ(hudText(), "");

    const auto requests = sent("down_add");
    ASSERT_EQ(requests.size(), 1u);
    auto query = requests[0];
    EXPECT_EQ(query["username"], "xinren");
    EXPECT_EQ(query["passwd"], "secret1");
    EXPECT_EQ(query["phone"], "13812345678");
    EXPECT_EQ(query["fcbl"], "30");
    EXPECT_EQ(query["is_login"], "2");
    EXPECT_EQ(query["sign"],
              WMUtil::md5HexDigest("1xinrensecret11381234567830" + query["t"] + "qmvtrapezk42f17bnc"));

    // The back end lists the new account first, with its share and permission.
    auto list = httplib::Client("127.0.0.1", backend->port())
                    .Get("/", httplib::Params{{"ct", "app"}, {"ac", "down"}, {"uid", "1"}, {"t", query["t"]},
                                              {"sign", WMUtil::md5HexDigest("1" + query["t"] + "qmvtrapezk42f17bnc")}},
                         httplib::Headers{});
    ASSERT_TRUE(list);
    EXPECT_NE(list->body.find(R"({"id":)"), std::string::npos);
    EXPECT_LT(list->body.find("xinren"), list->body.find("songjia"));
    EXPECT_NE(list->body.find(R"("fcbl":"30%","is_login":"2")"), std::string::npos);
}

TEST_F(AddSubPromoterScreen, ARefusedAddKeepsTheFormAndShowsTheBackEndsReason) {
    auto screen = open();
    fill("zhoujie", "secret1", "13812345678");
    ASSERT_TRUE(driver.tap("中级"));
    ASSERT_TRUE(driver.tap("#yijianBut"));
    ASSERT_TRUE(waitForHUD("用户名已存在"));
    EXPECT_EQ(top(), screen);
    EXPECT_EQ(screen->yonghuTextField()->text(), "zhoujie");
    EXPECT_EQ(screen->phoneTextFeild()->text(), "13812345678");
    EXPECT_EQ((*screen->xuanzhongDic())["title"].description(), "中级");
    EXPECT_EQ(sent("down_add").size(), 1u);
}

// Answers the back end does not give, scripted: the levels as given, and an
// add answer held back until the test lets it go.
class AddSubPromoterOddAnswers : public AppFixture {
protected:
    void SetUp() override {
        server.route("GET", "/", [this](const httplib::Request& request, httplib::Response& response) {
            std::unique_lock lock(mutex);
            if (request.get_param_value("ac") == "down_fcbl") {
                response.set_content(levelsAnswer, "application/json");
                return;
            }
            released.wait_for(lock, std::chrono::seconds(10), [&] { return addAnswer.has_value(); });
            if (addAnswer && *addAnswer == "HTTP 500") response.status = 500;
            else response.set_content(addAnswer.value_or(""), "application/json");
        });
        KXServiceAddress::setBaseURL(server.baseURL());
        KXLocallyStoredData::setUserID("1");
        window = make<UIWindow>(UIScreen::mainScreen()->bounds());
        stack = make<KXNavigationController>(make<UIViewController>());
        window->setRootViewController(stack);
        window->makeKeyAndVisible();
    }
    void TearDown() override {
        answerAdd("");
        KXServiceAddress::setBaseURL("");
    }
    Ref<KXtianjiangxianxiangController> openWithLevels(const std::string& answer) {
        {
            std::lock_guard lock(mutex);
            levelsAnswer = answer;
        }
        auto screen = make<KXtianjiangxianxiangController>();
        stack->pushViewController(screen, true);
        clock.advance(UIViewController::kTransitionDuration);
        EXPECT_TRUE(runUntil([&] { return !screen->shujuArr().empty() || hudText() != ""; }));
        driver.settle();
        return screen;
    }
    void answerAdd(const std::string& answer) {
        std::lock_guard lock(mutex);
        addAnswer = answer;
        released.notify_all();
    }
    void fillValidForm() {
        for (const auto& [field, text] : {std::pair{"#yonghuTextField", "xinren"}, std::pair{"#mimaTextFeild", "secret1"},
                                          std::pair{"#phoneTextFeild", "13812345678"}}) {
            ASSERT_TRUE(driver.typeText(field, text));
        }
    }
    std::string hudText() const {
        auto hud = MBProgressHUD::HUDForView(window);
        return hud ? hud->label()->text() : std::string();
    }

    Ref<UIViewController> top() const { return stack->topViewController(); }

    LoopbackHTTPServer server;
    std::mutex mutex;
    std::condition_variable released;
    std::string levelsAnswer;
    std::optional<std::string> addAnswer;
    Ref<UIWindow> window;
    Ref<KXNavigationController> stack;
    UIDriver driver;
};

TEST_F(AddSubPromoterOddAnswers, WithoutLevelsTheSubmitStopsAtTheLevelCheck) {
    auto screen = openWithLevels(R"({"code":0,"message":"暂无权限"})");
    EXPECT_EQ(hudText(), "暂无权限");
    EXPECT_TRUE(screen->storageButMuArr().empty());
    clock.advance(2);
    fillValidForm();
    ASSERT_TRUE(driver.tap("#yijianBut"));
    EXPECT_EQ(hudText(), "请选择等级");
    EXPECT_EQ(server.requestCount(), 1u);
}

TEST_F(AddSubPromoterOddAnswers, LevelsWithoutTitleOrShareGetNoButtonAndNumbersAreSentAsText) {
    auto screen = openWithLevels(
        R"({"code":"1","data":[{"fcbl":5},"x",{"title":"特级","fcbl":45},{"title":"空"},{"title":7,"fcbl":"7"}]})");
    const auto& buttons = screen->storageButMuArr();
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0]->currentTitle(), "特级");
    EXPECT_EQ(buttons[0]->frame().origin.x, 20);
    EXPECT_EQ(buttons[1]->currentTitle(), "7");
    EXPECT_EQ(buttons[1]->frame().origin.x, 85);
    EXPECT_EQ((*screen->xuanzhongDic())["fcbl"].description(), "45");
    ASSERT_TRUE(driver.tap(buttons[1]));
    EXPECT_EQ((*screen->xuanzhongDic())["title"].description(), "7");
}

TEST_F(AddSubPromoterOddAnswers, TheWaitingHUDStaysUntilTheAnswerAndAFailedAddKeepsTheForm) {
    auto screen = openWithLevels(R"({"code":1,"data":[{"title":"初级","fcbl":10}]})");
    fillValidForm();
    ASSERT_TRUE(driver.tap("#yijianBut"));
    EXPECT_EQ(hudText(), "一键添加");
    clock.advance(5);
    EXPECT_EQ(hudText(), "一键添加") << "the waiting HUD stays until the answer";

    // A transport failure shows "登录失败" and takes it away at once.
    answerAdd("HTTP 500");
    ASSERT_TRUE(runUntil([&] { return hudText() != "一键添加"; }));
    driver.settle();
    EXPECT_EQ(hudText(), "");
    EXPECT_EQ(top(), screen);
    EXPECT_EQ(screen->yonghuTextField()->text(), "xinren");
    EXPECT_EQ(screen->mimaTextFeild()->text(), "secret1");
}

}  // namespace
