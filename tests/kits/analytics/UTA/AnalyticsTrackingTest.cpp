// The recording methods: their answers, timers and the events they store.
#include <cmath>

#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAHelper.h"
#include "tests/kits/analytics/UTA/AnalyticsServiceFixture.h"
#include "tests/kits/analytics/UTA/AnalyticsStateFixture.h"

namespace {

class AnalyticsTracking : public AnalyticsServiceFixture {
protected:
    void SetUp() override {
        AnalyticsServiceFixture::SetUp();
        RPOUTA::startWithAppkey(std::string("k"));
    }
    static Array args(std::initializer_list<Value> items) { return Array(items); }
    static Dictionary props(std::initializer_list<std::pair<const char*, Value>> items) {
        Dictionary dictionary;
        for (const auto& [key, value] : items) dictionary.set(key, value);
        return dictionary;
    }
};

// The length of the arguments is that of the helper's JSON text.
using AnalyticsContentLength = AnalyticsStateFixture;

}  // namespace

TEST_F(AnalyticsContentLength, CountsTheTextWithItsArgumentsInUTF16Units) {
    EXPECT_TRUE(UTAIsContentTooLong(std::nullopt, Value()));
    EXPECT_FALSE(UTAIsContentTooLong(std::string(61440, 'a'), Value()));
    EXPECT_TRUE(UTAIsContentTooLong(std::string(61441, 'a'), Value()));
    EXPECT_TRUE(UTAIsContentTooLong(std::string("id"), Value("a string")));
    Array items{Value(std::string(61430, 'b'))};  // ["bbb…"]: 61434 characters
    EXPECT_FALSE(UTAIsContentTooLong(std::string("123456"), Value(items)));
    EXPECT_TRUE(UTAIsContentTooLong(std::string("1234567"), Value(items)));
    // 20480 three-byte characters are 20480 units, not 61440 bytes.
    std::string wide;
    for (int i = 0; i < 20481; ++i) wide += "统";
    EXPECT_FALSE(UTAIsContentTooLong(wide, Value()));
}

TEST_F(AnalyticsTracking, AnEventOfChineseTextThatTheCallAcceptsIsStored) {
    std::string text;
    for (int i = 0; i < 1400; ++i) text += "推";  // 4200 bytes in UTF-8
    Dictionary props;
    props.set("note", text);
    EXPECT_EQ(RPOUTA::trackCustomKeyValueEvent(std::string("feedback"), props), 0);
    auto custom = storedEvents(1000);
    ASSERT_EQ(custom.size(), 1u);
    EXPECT_EQ(custom[0]["kv"]["note"].stringValue(), text);
    EXPECT_FALSE(log.contains("Too large event content length"));
}

TEST_F(AnalyticsTracking, PageViewsCarryTheirDurationAndThePreviousPage) {
    RPOUTA::trackPageViewBegin(std::string("home"));
    now += 1.2344;
    RPOUTA::trackPageViewBegin(std::string("home"));
    EXPECT_TRUE(log.contains("[UTA] [ERROR]Duplicate entry page home"));
    RPOUTA::trackPageViewEnd(std::string("home"));
    RPOUTA::trackPageViewEnd(std::string("home"));
    EXPECT_TRUE(log.contains("[UTA] [ERROR]NULL entry for page:home"));
    RPOUTA::trackPageViewBegin(std::string("list"));
    RPOUTA::trackPageViewEnd(std::string("list"));
    RPOUTA::trackPageViewBegin(std::string(""));
    EXPECT_TRUE(log.contains("[UTA] [ERROR]Failed to trace nil/empty page."));

    auto views = storedEvents(1);
    ASSERT_EQ(views.size(), 2u);
    EXPECT_EQ(views[0]["pi"].stringValue(), "home");
    EXPECT_EQ(views[0].find("rf"), nullptr);
    EXPECT_EQ(views[0]["du"].doubleValue(), 1.234);  // as measured, without float noise
    EXPECT_EQ(views[1]["rf"].stringValue(), "home");
    EXPECT_DOUBLE_EQ(views[1]["du"].doubleValue(), 1.0);  // no time passed
}

TEST_F(AnalyticsTracking, TimersRefuseMoreThanTheParallelLimitEachOnItsOwn) {
    RPOUTAConfig::getInstance()->setMaxParallelTimingEvents(2);
    RPOUTA::trackPageViewBegin(std::string("a"));
    RPOUTA::trackPageViewBegin(std::string("b"));
    RPOUTA::trackPageViewBegin(std::string("c"));
    EXPECT_TRUE(log.contains("[UTA] [ERROR]Too many parallel page events in memory."));
    EXPECT_EQ(RPOUTA::trackCustomEventBegin(std::string("e1"), std::nullopt), 0);
    EXPECT_EQ(RPOUTA::trackCustomEventBegin(std::string("e2"), std::nullopt), 0);
    EXPECT_EQ(RPOUTA::trackCustomEventBegin(std::string("e3"), std::nullopt), 1000);
    EXPECT_TRUE(log.contains("[UTA] [ERROR]Too many parallel events in memory."));
    RPOUTA::trackPageViewEnd(std::string("c"));
    EXPECT_TRUE(log.contains("[UTA] [ERROR]NULL entry for page:c"));
    RPOUTAConfig::getInstance()->setMaxParallelTimingEvents(1024);
}

TEST_F(AnalyticsTracking, TimedEventsEndOnlyWithTheSameArguments) {
    // Before any begin in the process there is no begin to match: the
    // key-value form answers -1, the argument form 1000.
    EXPECT_EQ(RPOUTA::trackCustomKeyValueEventEnd(std::string("kv"), props({{"a", 1}})), -1);
    EXPECT_EQ(RPOUTA::trackCustomEventEnd(std::string("t"), args({1, "x"})), 1000);

    EXPECT_EQ(RPOUTA::trackCustomEventBegin(std::string("t"), args({1, "x"})), 0);
    EXPECT_EQ(RPOUTA::trackCustomEventBegin(std::string("t"), args({1, "x"})), 1000);
    EXPECT_TRUE(log.contains("[UTA] [ERROR]Duplicate key t[1x for event_id:t"));
    EXPECT_EQ(RPOUTA::trackCustomEventEnd(std::string("t"), args({"x", 1})), 1000);
    EXPECT_TRUE(log.contains("[UTA] [ERROR]NULL key t[x1 for event_id:t"));
    now += 1.5;
    EXPECT_EQ(RPOUTA::trackCustomEventEnd(std::string("t"), args({1, "x"})), 0);

    EXPECT_EQ(RPOUTA::trackCustomKeyValueEventBegin(std::string("kv"), props({{"a", 1}, {"b", "2"}})), 0);
    EXPECT_EQ(RPOUTA::trackCustomKeyValueEventEnd(std::string("kv"), props({{"b", "2"}, {"a", 1}})), 1000);
    EXPECT_EQ(RPOUTA::trackCustomKeyValueEventEnd(std::string("kv"), props({{"a", 1}, {"b", "2"}})), 0);

    auto custom = storedEvents(1000);
    ASSERT_EQ(custom.size(), 2u);
    EXPECT_EQ(custom[0]["ei"].stringValue(), "t");
    EXPECT_DOUBLE_EQ(custom[0]["du"].doubleValue(), 1.5);
    EXPECT_EQ(custom[0]["ar"][1].stringValue(), "x");
    EXPECT_EQ(custom[1]["kv"]["b"].stringValue(), "2");
}

TEST_F(AnalyticsTracking, AnswersForInvalidAndTooLongEventsAndWhenSwitchedOff) {
    EXPECT_EQ(RPOUTA::trackCustomEvent(std::string(""), std::nullopt), 0);
    EXPECT_EQ(RPOUTA::trackCustomEvent(std::nullopt, std::nullopt), 1000);
    EXPECT_EQ(RPOUTA::trackCustomKeyValueEvent(std::string(""), std::nullopt), 1000);
    EXPECT_EQ(RPOUTA::trackCustomEvent(std::string(61441, 'i'), std::nullopt), 1001);
    EXPECT_EQ(RPOUTA::trackCustomKeyValueEventDuration(0, std::string("d"), std::nullopt), 1000);
    EXPECT_TRUE(log.contains("[UTA] [ERROR] event:d duration should not be zero"));
    EXPECT_EQ(RPOUTA::trackCustomKeyValueEventDuration(2.5f, std::string("d"), props({{"p", 1}})), 0);
    EXPECT_EQ(RPOUTA::trackError(std::string("")), 1000);
    EXPECT_EQ(RPOUTA::trackError(std::string("boom")), 0);
    EXPECT_EQ(RPOUTA::trackException(nullptr), 1000);
    // Texts that are not UTF-8 are refused, not accepted and lost.
    EXPECT_EQ(RPOUTA::trackCustomEvent(std::string("id\xff"), std::nullopt), 1000);
    EXPECT_EQ(RPOUTA::trackCustomEvent(std::string("id"), args({"\xc3"})), 1000);
    EXPECT_EQ(RPOUTA::trackCustomKeyValueEvent(std::string("id"), props({{"\xed\xa0\x80", 1}})), 1000);
    EXPECT_EQ(RPOUTA::trackCustomKeyValueEventBegin(std::string("\xff"), std::nullopt), 1000);
    EXPECT_EQ(RPOUTA::trackCustomKeyValueEvent(std::string("id"), std::nullopt, std::nullopt, false, 1,
                                               std::string("\x80")), 1000);
    EXPECT_EQ(RPOUTA::trackError(std::string("\xff")), 1000);
    EXPECT_TRUE(log.contains("[UTA] [ERROR]Event text is not valid UTF-8."));
    // So are values JSON cannot write.
    EXPECT_EQ(RPOUTA::trackCustomEvent(std::string("id"), args({std::nan("")})), 1000);
    EXPECT_EQ(RPOUTA::trackCustomKeyValueEventBegin(std::string("id"), props({{"at", NSDate(1)}})), 1000);
    EXPECT_EQ(RPOUTA::trackCustomKeyValueEventDuration(INFINITY, std::string("d"), std::nullopt), 1000);
    // So are events whose text is longer than a report may carry.
    EXPECT_EQ(RPOUTA::trackCustomEvent(std::string(5000, 'i'), std::nullopt), 1001);
    EXPECT_EQ(RPOUTA::trackCustomKeyValueEvent(std::string(3000, 'i'), props({{"v", std::string(2000, 'v')}})), 1001);
    EXPECT_EQ(RPOUTA::trackCustomKeyValueEventDuration(1, std::string(5000, 'i'), std::nullopt), 1001);
    EXPECT_EQ(RPOUTA::trackCustomEventBegin(std::string(5000, 'i'), std::nullopt), 1001);
    // A timed event whose begin stays within 4096 whatever its random
    // index (at most 11 characters), and which its end's time stamp and
    // duration take past it.
    auto probe = make<RPOUTACustomEvent>();
    probe->eventID = "i";
    probe->reportText();
    const std::size_t withoutIndex = probe->contentLength() - std::to_string(probe->eventIndex).size();
    const std::string atTheLimit(4096 - withoutIndex + 1 - 11, 'i');
    EXPECT_EQ(RPOUTA::trackCustomEventBegin(atTheLimit, std::nullopt), 0);
    now += 2;
    EXPECT_EQ(RPOUTA::trackCustomEventEnd(atTheLimit, std::nullopt), 1001);

    RPOUTAHelper::getInstance()->setUTAEnableFlag(false);
    EXPECT_EQ(RPOUTA::trackCustomEvent(std::string("off"), std::nullopt), -1);
    EXPECT_EQ(RPOUTA::trackError(std::string("off")), -1);
    EXPECT_TRUE(log.contains("[UTA] UTA is not enabled , because of the online config"));
    RPOUTAHelper::getInstance()->setUTAEnableFlag(true);

    auto custom = storedEvents(1000);
    ASSERT_EQ(custom.size(), 2u);
    EXPECT_EQ(custom[0]["ei"].stringValue(), "");
    EXPECT_DOUBLE_EQ(custom[1]["du"].doubleValue(), 2.5);
    auto errors = storedEvents(3);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0]["er"].stringValue(), "boom");
}

TEST_F(AnalyticsTracking, AnExceptionReportsTheFirst200FramesOfItsStack) {
    // 300 frames of 250 characters would be too long; the first 200 are not.
    std::vector<std::string> frames;
    for (int i = 0; i < 300; ++i) frames.push_back("frame" + std::to_string(i) + std::string(240, '.'));
    auto exception = make<NSException>("NSRangeException", "index 3 beyond bounds", frames);
    EXPECT_EQ(RPOUTA::trackException(exception), 0);
    auto errors = storedEvents(3);
    ASSERT_EQ(errors.size(), 1u);
    const std::string text = errors[0]["er"].stringValue().value_or("");
    EXPECT_EQ(text.rfind("index 3 beyond bounds\n(\n", 0), 0u);
    EXPECT_NE(text.find("frame197"), std::string::npos);
    EXPECT_EQ(errors[0]["ea"].intValue(), 1);
    // An exception's event has a session id of its own.
    EXPECT_NE(errors[0]["si"].longLongValue(), 0);
}

TEST_F(AnalyticsTracking, AccountsAndThePalNumber) {
    RPOUTA::setAccount(std::string("user-1"), 1);
    EXPECT_EQ(RPOUTAConfig::getInstance()->customerUserID(), "user-1");
    EXPECT_EQ(RPOUTAConfig::getInstance()->pal(), std::nullopt);
    EXPECT_EQ(storedEvents(1001).size(), 0u);

    RPOUTA::setAccount(std::string("42"), 0);
    EXPECT_EQ(RPOUTAConfig::getInstance()->pal(), "42");
    auto additions = storedEvents(1001);
    ASSERT_EQ(additions.size(), 1u);
    EXPECT_EQ(additions[0]["pal"].stringValue(), "42");

    RPOUTA::reportAccount(std::string("acc"), 0x1ff, std::string("ext"));
    auto accounts = storedEvents(1001);
    ASSERT_EQ(accounts.size(), 2u);
    EXPECT_EQ(accounts[1]["acc"]["t"].intValue(), -1);  // the low eight bits, signed
    EXPECT_EQ(accounts[1]["acc"]["e"].stringValue(), "ext");
    // A text of a call that answers nothing is reported mended, not lost.
    RPOUTA::reportAccount(std::string("acc"), 0, std::string("e\xff"));
    accounts = storedEvents(1001);
    ASSERT_EQ(accounts.size(), 3u);
    EXPECT_EQ(accounts[2]["acc"]["e"].stringValue(), "e\uFFFD");
    RPOUTA::setUserProperty(props({{"score", std::nan("")}}));  // and a value JSON cannot write
    ASSERT_EQ(storedEvents(6).size(), 1u);
    EXPECT_EQ(storedEvents(6)[0]["cp"]["score"].stringValue(), "nan");
    RPOUTAConfig::getInstance()->setPal(std::nullopt);
}

TEST_F(AnalyticsTracking, WithoutAutomaticActiveTimeBecomingActiveRecordsNothing) {
    RPOUTAConfig::getInstance()->setAutoTM(false);
    RPOUTA::autoTrackActiveBegin();
    now += 10;
    RPOUTA::autoTrackActiveEnd();
    EXPECT_EQ(storedEvents(4).size(), 0u);
    RPOUTAConfig::getInstance()->setAutoTM(true);
    RPOUTA::autoTrackActiveBegin();
    now += 10;
    RPOUTA::autoTrackActiveEnd();
    auto active = storedEvents(4);
    ASSERT_EQ(active.size(), 1u);
    EXPECT_DOUBLE_EQ(active[0]["du"].doubleValue(), 10.0);
}
