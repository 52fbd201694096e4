#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "app/payment/KXAmountInput.h"
#include "app/payment/KXMoney.h"
#include "app/payment/KXMoneyReadBack.h"
#include "foundation/NSJSONSerialization.h"
#include "backend/Discount.h"
#include "tests/app/payment/MoneyScreenFixture.h"

namespace {

// The demo games' discounts in thousandths, as the back end keeps them.
constexpr std::array kDemoRates = {300, 350, 290, 580, 125, 200, 450, 100};

TEST(KXMoney, ReadsAndWritesYuanAsTheBackEndDoes) {
    for (const auto& [text, fen] : std::vector<std::pair<std::string, long long>>{
             {"0", 0}, {"10", 1000}, {"10.5", 1050}, {"0.01", 1}, {"12.", 1200}, {"33.30", 3330},
             {"999999999999999.99", 99999999999999999}}) {
        EXPECT_EQ(KXMoney::parse(text), KXMoney::fromFen(fen)) << text;
    }
    for (const char* text : {"", ".5", "1e3", "-5", "+5", " 5", "1abc", "0.001", "1.2.3", "1,000", "1000000000000000"})
        EXPECT_FALSE(KXMoney::parse(text)) << text;
    EXPECT_EQ(KXMoney::fromFen(124926).format(), "1249.26");
    EXPECT_EQ(KXMoney::fromFen(5).format(), "0.05");
    EXPECT_EQ(KXMoney::fromFen(-74).format(), "-0.74");
    EXPECT_EQ((KXMoney::fromFen(15000001) + KXMoney::fromFen(10000)).format(), "150100.01");
}

// What the top-up shows is what the back end charges: every amount up to
// 3000 yuan, fen by fen, and every 1.07 yuan up to the limit, at each demo
// discount as the back end answers it (permille / 1000 through JSON).
TEST(KXMoney, TheDiscountedAmountIsTheBackEndsCharge) {
    long long compared = 0;
    long long differing = 0;
    std::string firstDifference;
    for (long long rate : kDemoRates) {
        const double zhekou = static_cast<double>(rate) / 1000.0;
        auto check = [&](long long fen) {
            ++compared;
            const long long shown = KXMoney::fromFen(fen).discounted(zhekou).fen();
            const long long charged = backend::discountedCents(fen, rate);
            if (shown != charged && differing++ == 0)
                firstDifference = std::to_string(fen) + " fen at " + std::to_string(rate) + "‰: shown " +
                                  std::to_string(shown) + ", charged " + std::to_string(charged);
        };
        for (long long fen = 1; fen <= 300000; ++fen) check(fen);
        for (long long fen = 300000; fen <= KXAmountInput::kLargestTopUp.fen(); fen += 107) check(fen);
    }
    EXPECT_EQ(differing, 0) << firstDifference;
    EXPECT_GT(compared, 3'000'000);
    // The cases that used to differ by a fen.
    EXPECT_EQ(KXMoney::parse("33.3")->discounted(0.35).format(), "21.65");
    EXPECT_EQ(KXMoney::parse("0.25")->discounted(0.3).format(), "0.18");
    // Discounts outside 0 to 1 are held at their ends.
    EXPECT_EQ(KXMoney::parse("10")->discounted(-0.5).format(), "10.00");
    EXPECT_EQ(KXMoney::parse("10")->discounted(1e30).format(), "0.00");
}

// A top-up of unknown result read back from 代充记录 is made only when a row
// that shows what it does ("10" is 10.00, " wanjia001" is wanjia001), not
// listed before it went out, was made in the back end's window; a row of
// another account or game is another action; one that cannot be told
// apart leaves it unknown.
TEST(KXMoneyReadBack, ARowIsTheActionOnlyWhenItIsNewAndShowsWhatItDoes) {
    const Dictionary sent{{"ac", "fuli"}, {"t", "1000000"}, {"username", " wanjia001"},
                          {"money", "10"},  {"gid", "3"},     {"type", "1"}};
    const std::string row = R"("money":"10.00","user_name":"wanjia001","gid":"3","type":"1","orderid":)";
    const std::optional<std::vector<std::string>> before = std::vector<std::string>{"7"}, unknown;
    using Finding = KXMoneyReadBack::Finding;
    for (const auto& [rows, listed, finding] :
         std::vector<std::tuple<std::string, std::optional<std::vector<std::string>>, Finding>>{
             {"[]", before, Finding::NotMade},
             {"[{" + row + R"("8","create_time":"1000010"}])", before, Finding::Made},
             {"[{" + row + R"("8","create_time":"1000010"}])", unknown, Finding::Unknown},
             {"[{" + row + R"("8","create_time":"999000"}])", before, Finding::NotMade},
             {"[{" + row + R"("8"}])", before, Finding::Unknown},
             {R"([{"money":"10.00","user_name":"xiaoyu88","gid":"3","type":"1","orderid":"8","create_time":"1000010"}])",
              before, Finding::NotMade},
             {R"([{"money":"10.00","user_name":"wanjia001","gid":"4","type":"1","orderid":"8","create_time":"1000010"}])",
              before, Finding::NotMade},
             {R"([{"money":"10.00","user_name":"wanjia001","type":"1","orderid":"8","create_time":"1000010"}])", before,
              Finding::Unknown},
             {"{}", before, Finding::Unknown}}) {
        const Value answer =
            NSJSONSerialization::JSONObjectWithData(NSData::fromString(R"({"code":1,"data":{"list":)" + rows + "}}"));
        EXPECT_EQ(KXMoneyReadBack::judge(sent, listed, answer), finding) << rows;
    }
}

// Amount fields take exactly what the back end takes, here the recharge's
// ("recharge" creates an unpaid order for every amount it accepts).
class AmountInput : public MoneyScreenFixture {};

TEST_F(AmountInput, AcceptsExactlyWhatTheBackEndAccepts) {
    const std::string limit = "金额不能超过100000.00元";
    for (const auto& [text, problem] : std::vector<std::pair<std::string, std::string>>{
             {"1e3", "请输入正确的金额"},
             {"-5", "金额必须大于0"},
             {"1abc", "请输入正确的金额"},
             {"0.001", "金额最多两位小数"},
             {"99999999999", limit},
             {"99999999999999999999", limit},
             {"99999999999999999999.5", limit},
             {"0000", "金额必须大于0"},
             {"00000000000000000001", ""},
             {"0", "金额必须大于0"},
             {"0.00", "金额必须大于0"},
             {".5", "请输入正确的金额"},
             {"5 ", "请输入正确的金额"},
             {"100000.01", limit},
             {"0.01", ""},
             {"12.", ""},
             {"33.3", ""},
             {"100000", ""}}) {
        const KXAmountInput::Reading reading = KXAmountInput::read(text, KXAmountInput::kLargestRecharge);
        EXPECT_EQ(reading.problem, problem) << text;
        EXPECT_EQ(reading.amount.has_value(), problem.empty()) << text;
        const Value answer = backendAnswer("recharge", {{"money", text}}, {"money"});
        EXPECT_EQ(KXClassicRequest::code(answer) == 1, problem.empty()) << text << ": " << answer.description();
    }
    // The top-up's and the settlement's limits are the back end's too (code 4
    // is its refusal of a malformed or too large amount).
    const Value games = backendAnswer("fuli_game");
    auto topUp = [&](KXMoney money) {
        return KXClassicRequest::code(backendAnswer(
            "fuli", {{"username", "wanjia001"}, {"money", money.format()}, {"gid", games["data"][0]["id"]}, {"type", "0"}},
            {"username", "money", "gid", "type"}));
    };
    EXPECT_EQ(topUp(KXAmountInput::kLargestTopUp), 1);
    EXPECT_EQ(topUp(KXAmountInput::kLargestTopUp + KXMoney::fromFen(1)), 4);
    auto settle = [&](KXMoney money) {
        return KXClassicRequest::code(backendAnswer("jiesuan", {{"money", money.format()}}, {"money"}));
    };
    EXPECT_NE(settle(KXAmountInput::kLargestSettlement), 4) << "refused only for want of a settleable amount";
    EXPECT_EQ(settle(KXAmountInput::kLargestSettlement + KXMoney::fromFen(1)), 4);
    EXPECT_EQ(KXAmountInput::read("", KXAmountInput::kLargestRecharge).problem, "");
    EXPECT_FALSE(KXAmountInput::read("", KXAmountInput::kLargestRecharge).amount);
}

}  // namespace
