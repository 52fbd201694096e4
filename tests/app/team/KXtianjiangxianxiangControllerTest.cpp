#include "app/shell/WMUtil.h"
#include "app/team/KXTeamColors.h"
#include "app/team/KXtianjiangxianxiangController.h"
#include "TeamScreenFixture.h"
#include "uikit/UINavigationItem.h"

namespace {

class AddSubPromoterScreen : public TeamScreenFixture {
protected:
    Ref<KXtianjiangxianxiangController> open(std::size_t levels = 3) {
        auto screen = push<KXtianjiangxianxiangController>();
        EXPECT_TRUE(runUntil([&] { return screen->storageButMuArr().size() == levels && !sent("down_fcbl").empty(); }));
        driver.settle();
        return screen;
    }
    void fill(const std::string& username, const std::string& password, const std::string& phone) {
        for (const auto& [field, text] : {std::pair{"#yonghuTextField", username}, std::pair{"#mimaTextFeild", password},
                                          std::pair{"#phoneTextFeild", phone}}) {
            auto view = cast<UITextField>(driver.find(field));
            ASSERT_TRUE(view) << field;
            view->setText(text);
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
        EXPECT_EQ(looksChosen(buttons[i]), i == 0);
    }
    EXPECT_EQ((*screen->xuanzhongDic())["title"].description(), "初级");
    EXPECT_EQ(screen->yongxunStr(), "1");
    EXPECT_TRUE(looksChosen(screen->allowBut()));
    EXPECT_FALSE(looksChosen(screen->RefusedBut()));
    shot("add-sub-promoter");
}

TEST_F(AddSubPromoterScreen, ChecksRunInOrderAndStopTheSubmit) {
    auto screen = open();
    const std::vector<std::array<std::string, 4>> cases = {
        {"", "", "", "用户名不能为空"},
        {"xinren", "", "", "密码不能为空"},
        {"xinren", "pass word", "", "密码不能有空格"},
        {"xinren", std::string(101, 'p'), "", "密码不能超过100个字节（约33个汉字）"},
        {"xinren", "secret1", "", "电话不能为空"},
        {"xinren", "secret1", " \u3000", "电话不能为空"},
        {"xinren", "secret1", "16612345678", "请输入正确的电话号码"},
        {"xinren", "secret1", "1381234567", "请输入正确的电话号码"},
        {"xinren", "secret1", "15412345678", "请输入正确的电话号码"},
        {"xinren", "secret1", "18,12345678", "请输入正确的电话号码"},
    };
    for (const auto& [username, password, phone, message] : cases) {
        fill(username, password, phone);
        ASSERT_TRUE(driver.tap("#yijianBut"));
        EXPECT_EQ(hudText(), message) << username << "/" << password << "/" << phone;
        letHUDsHide();
    }
    EXPECT_TRUE(sent("down_add").empty());
}

TEST_F(AddSubPromoterScreen, AddingSendsTheChosenLevelAndPermissionAndClosesTheScreen) {
    auto screen = open();
    fill("xinren", "secret1", "13812345678");
    ASSERT_TRUE(driver.tap("高级"));
    EXPECT_TRUE(looksChosen(screen->storageButMuArr()[2]));
    EXPECT_FALSE(looksChosen(screen->storageButMuArr()[0]));
    ASSERT_TRUE(driver.tap("#RefusedBut"));
    EXPECT_TRUE(looksChosen(screen->RefusedBut()));
    EXPECT_FALSE(looksChosen(screen->allowBut()));

    hold("down_add");
    ASSERT_TRUE(driver.tap("#yijianBut"));
    clock.advance(5);
    EXPECT_EQ(hudText(), "一键添加") << "the waiting HUD stays until the answer";
    release();
    ASSERT_TRUE(runUntil([&] { return top() != screen; }));
    clock.advance(UIViewController::kTransitionDuration);
    EXPECT_EQ(hudText(), "");

    auto query = sent("down_add").at(0);
    EXPECT_EQ((std::vector<std::string>{query["username"], query["passwd"], query["phone"], query["fcbl"], query["is_login"]}),
              (std::vector<std::string>{"xinren", "secret1", "13812345678", "30", "2"}));
    EXPECT_EQ(query["sign"], WMUtil::md5HexDigest("1xinrensecret11381234567830" + query["t"] + "qmvtrapezk42f17bnc"));
}

TEST_F(AddSubPromoterScreen, ARefusedOrFailedAddKeepsTheForm) {
    auto screen = open();
    fill("zhoujie", "secret1", "13812345678");
    ASSERT_TRUE(driver.tap("中级"));
    ASSERT_TRUE(driver.tap("#yijianBut"));
    ASSERT_TRUE(waitForHUD("用户名已存在"));
    letHUDsHide();

    // A transport failure says so.
    script("down_add", kHTTPFailure);
    ASSERT_TRUE(driver.tap("#yijianBut"));
    ASSERT_TRUE(waitForHUD("获取数据失败"));
    EXPECT_EQ(sent("down_add").size(), 2u);
    EXPECT_EQ(top(), screen);
    EXPECT_EQ(screen->yonghuTextField()->text(), "zhoujie");
    EXPECT_EQ((*screen->xuanzhongDic())["title"].description(), "中级");
}

TEST_F(AddSubPromoterScreen, WithoutLevelsTheSubmitStopsAtTheLevelCheck) {
    script("down_fcbl", R"({"code":0,"message":"暂无权限"})");
    auto screen = open(0);
    EXPECT_TRUE(waitForHUD("暂无权限"));
    letHUDsHide();
    fill("xinren", "secret1", "13812345678");
    ASSERT_TRUE(driver.tap("#yijianBut"));
    EXPECT_EQ(hudText(), "请选择等级");
}

TEST_F(AddSubPromoterScreen, LevelsWithoutTitleOrShareGetNoButtonAndNumbersAreSentAsText) {
    script("down_fcbl",
           R"({"code":"1","data":[{"fcbl":5},"x",{"title":"特级","fcbl":45},{"title":"空"},{"title":7,"fcbl":"7"}]})");
    auto screen = open(2);
    const auto& buttons = screen->storageButMuArr();
    EXPECT_EQ(buttons[0]->currentTitle(), "特级");
    EXPECT_EQ(buttons[1]->currentTitle(), "7");
    EXPECT_EQ(buttons[1]->frame().origin.x, 85);
    fill("xinren", "secret1", "13812345678");
    ASSERT_TRUE(driver.tap("#yijianBut"));
    ASSERT_TRUE(runUntil([&] { return !sent("down_add").empty(); }));
    EXPECT_EQ(sent("down_add")[0]["fcbl"], "45");
}

}  // namespace
