#include <gtest/gtest.h>

#include <functional>

#include "ControlsTestFixture.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSString.h"
#include "uikit/KeyboardEdit.h"
#include "uikit/UIButton.h"
#include "uikit/UITextField.h"
#include "uikit/UITextView.h"
#include "tests/support/ThreadTime.h"
#include "uikit/ViewSnapshot.h"

namespace {

// A delegate that records every call and answers from its flags.
class FieldDelegate : public NSObject, public UITextFieldDelegate {
public:
    std::vector<std::string>* log = nullptr;
    bool mayBegin = true, mayEnd = true, mayReturn = true;
    std::size_t maxLength = 100;
    std::vector<NSRange> ranges;

    bool textFieldShouldBeginEditing(const Ref<UITextField>&) override {
        log->push_back("shouldBegin");
        return mayBegin;
    }
    void textFieldDidBeginEditing(const Ref<UITextField>&) override { log->push_back("didBegin"); }
    bool textFieldShouldEndEditing(const Ref<UITextField>&) override {
        log->push_back("shouldEnd");
        return mayEnd;
    }
    void textFieldDidEndEditing(const Ref<UITextField>&) override { log->push_back("didEnd"); }
    bool textFieldShouldChangeCharactersInRangeReplacementString(const Ref<UITextField>& field, NSRange range,
                                                                 const std::string& replacement) override {
        ranges.push_back(range);
        // Refuses anything that would make the text longer than maxLength (UTF-16 units).
        return NSString::length(field->text()) - range.length + NSString::length(replacement) <= maxLength;
    }
    bool textFieldShouldReturn(const Ref<UITextField>&) override {
        log->push_back("shouldReturn");
        return mayReturn;
    }
};

class TextFieldTest : public ControlsFixture {
protected:
    TextFieldTest() {
        field = place(make<UITextField>(), CGRectMake(20, 20, 200, 40));
        field->setPlaceholder("请输入账号");
        delegate = make<FieldDelegate>();
        delegate->log = &log;
        field->setDelegate(delegate);
        for (const char* name : {UITextFieldTextDidBeginEditingNotification, UITextFieldTextDidChangeNotification,
                                 UITextFieldTextDidEndEditingNotification})
            tokens.push_back(NSNotificationCenter::defaultCenter()->addObserverForName(
                name, field, [this](const Ref<NSNotification>& note) { log.push_back(note->name()); }));
        for (auto [event, name] : {std::pair{UIControlEventEditingDidBegin, "EditingDidBegin"},
                                   std::pair{UIControlEventEditingChanged, "EditingChanged"},
                                   std::pair{UIControlEventEditingDidEnd, "EditingDidEnd"}})
            field->addTarget(nullptr, [this, name](const Ref<UIControl>&) { log.push_back(name); }, event);
    }
    ~TextFieldTest() override {
        for (const auto& token : tokens) NSNotificationCenter::defaultCenter()->removeObserver(token);
    }

    Ref<UITextField> field;
    Ref<FieldDelegate> delegate;
    std::vector<Ref<NSObject>> tokens;
};

TEST_F(TextFieldTest, TypingBeginsEditingThenReportsEachCharacter) {
    ASSERT_TRUE(driver.typeText("请输入账号", "ab")) << driver.lastError();
    EXPECT_EQ(field->text(), "ab");
    EXPECT_TRUE(field->isFirstResponder());
    EXPECT_TRUE(field->isEditing());
    EXPECT_EQ(log, (std::vector<std::string>{"shouldBegin", "didBegin", "EditingDidBegin",
                                             UITextFieldTextDidBeginEditingNotification, "EditingChanged",
                                             UITextFieldTextDidChangeNotification, "EditingChanged",
                                             UITextFieldTextDidChangeNotification}));
    EXPECT_EQ(delegate->ranges, (std::vector<NSRange>{{0, 0}, {1, 0}}));
    // Setting the text in code reports nothing.
    log.clear();
    field->setText("set");
    EXPECT_TRUE(log.empty());
}

TEST_F(TextFieldTest, DelegateRefusingEditsKeepsTheTextAndSendsNothing) {
    delegate->maxLength = 3;
    ASSERT_TRUE(driver.typeText(field, "12345"));
    EXPECT_EQ(field->text(), "123");
    EXPECT_EQ(std::count(log.begin(), log.end(), "EditingChanged"), 3);
    EXPECT_EQ(delegate->ranges.size(), 5u);
    // Deleting is asked too, with an empty replacement over the last character.
    ASSERT_TRUE(driver.deleteBackward());
    EXPECT_EQ(field->text(), "12");
    EXPECT_EQ(delegate->ranges.back(), NSMakeRange(2, 1));
}

TEST_F(TextFieldTest, RangesCountUTF16Units) {
    ASSERT_TRUE(driver.typeText(field, "a😀中"));
    EXPECT_EQ(delegate->ranges, (std::vector<NSRange>{{0, 0}, {1, 0}, {3, 0}}));
    ASSERT_TRUE(driver.deleteBackward(2));
    EXPECT_EQ(delegate->ranges[3], NSMakeRange(3, 1));
    EXPECT_EQ(delegate->ranges[4], NSMakeRange(1, 2));
    EXPECT_EQ(field->text(), "a");
}

TEST_F(TextFieldTest, TheDeleteKeyTakesTheLastCharacterAsTypingSplitsTheTextEvenWhenMalformed) {
    ASSERT_TRUE(driver.tap(field));
    for (const std::string text : {"a😀中", "€\x82", "\xE2\x82", "\x82\x82\x82\x82\x82", "x\xF0\x9F\x98", "\xFF\x80"}) {
        field->setText(text);
        std::vector<std::string> characters;
        for (std::size_t at = 0; at < text.size();) characters.emplace_back(KeyboardEdit::nextCharacter(text, at));
        while (!characters.empty()) {
            ASSERT_TRUE(driver.deleteBackward());
            characters.pop_back();
            std::string rest;
            for (const auto& character : characters) rest += character;
            EXPECT_EQ(field->text(), rest) << NSString::stringWithFormat("%@", text);
        }
    }
}

TEST_F(TextFieldTest, RefusedBeginKeepsTheFieldOutOfEditing) {
    delegate->mayBegin = false;
    EXPECT_FALSE(driver.typeText(field, "x"));
    EXPECT_FALSE(driver.tap(field) && field->isFirstResponder());
    EXPECT_FALSE(field->isEditing());
    EXPECT_EQ(field->text(), "");
    EXPECT_EQ(std::count(log.begin(), log.end(), "shouldBegin"), 2);
    EXPECT_EQ(std::count(log.begin(), log.end(), "didBegin"), 0);
}

TEST_F(TextFieldTest, ReturnKeyAsksTheDelegateAndEndsOnExitWhenThatHasActions) {
    ASSERT_TRUE(driver.typeText(field, "go"));
    log.clear();
    ASSERT_TRUE(driver.pressReturn());
    EXPECT_EQ(log, (std::vector<std::string>{"shouldReturn"}));
    EXPECT_TRUE(field->isEditing());

    field->addTarget(nullptr, [this](const Ref<UIControl>&) { log.push_back("EndOnExit"); },
                     UIControlEventEditingDidEndOnExit);
    delegate->mayReturn = false;
    log.clear();
    ASSERT_TRUE(driver.pressReturn());
    EXPECT_EQ(log, (std::vector<std::string>{"shouldReturn"}));

    delegate->mayReturn = true;
    log.clear();
    ASSERT_TRUE(driver.pressReturn());
    EXPECT_EQ(log, (std::vector<std::string>{"shouldReturn", "EndOnExit", "shouldEnd", "didEnd", "EditingDidEnd",
                                             UITextFieldTextDidEndEditingNotification}));
    EXPECT_FALSE(field->isEditing());
    EXPECT_EQ(field->text(), "go");
    EXPECT_FALSE(driver.pressReturn());
}

TEST_F(TextFieldTest, OneFirstResponderAndEndEditingWithOrWithoutForce) {
    auto other = place(make<UITextField>(), CGRectMake(20, 80, 200, 40));
    ASSERT_TRUE(driver.tap(field));
    EXPECT_TRUE(field->isEditing());
    delegate->mayEnd = false;
    // The editing field refuses to end, so the other cannot take over.
    EXPECT_FALSE(other->becomeFirstResponder());
    EXPECT_FALSE(window->endEditing(false));
    EXPECT_TRUE(field->isEditing());
    // Ending editing elsewhere leaves this field alone.
    EXPECT_TRUE(other->endEditing(true));
    EXPECT_TRUE(field->isEditing());
    EXPECT_TRUE(window->endEditing(true));
    EXPECT_FALSE(field->isEditing());
    EXPECT_TRUE(other->becomeFirstResponder());
    EXPECT_TRUE(other->isEditing());
    // Leaving the window ends editing without asking.
    other->removeFromSuperview();
    EXPECT_FALSE(other->isEditing());
    EXPECT_EQ(UIResponder::currentFirstResponder(), nullptr);
}

TEST_F(TextFieldTest, DisabledFieldTakesNoFocus) {
    field->setEnabled(false);
    EXPECT_FALSE(field->becomeFirstResponder());
    EXPECT_FALSE(driver.typeText(field, "x"));
    EXPECT_TRUE(log.empty());
}

TEST_F(TextFieldTest, SecureFieldShowsBulletsAndKeepsTheText) {
    field->setSecureTextEntry(true);
    field->setKeyboardType(UIKeyboardType::ASCIICapable);
    ASSERT_TRUE(driver.typeText(field, "pw中1"));
    EXPECT_EQ(field->text(), "pw中1");
    EXPECT_EQ(field->accessibilityValue(), "••••");
    EXPECT_EQ(field->accessibilityLabel(), "请输入账号");
    EXPECT_EQ(static_cast<int>(field->keyboardType()), 1);
}

TEST_F(TextFieldTest, LeftViewTakesRoomFromTheTextAndItsButtonStaysTappable) {
    auto holder = make<UIView>(CGRectMake(0, 0, 35, 32));
    auto search = place(UIButton::buttonWithType(UIButtonType::Custom), CGRectMake(5, 0, 30, 30), holder);
    search->addTarget(nullptr, [this](const Ref<UIControl>&) { log.push_back("search"); }, UIControlEventTouchUpInside);
    field->setLeftView(holder);
    CGRect bounds = field->bounds();
    EXPECT_EQ(field->textRectForBounds(bounds), CGRectMake(0, 0, 200, 40));
    field->setLeftViewMode(UITextFieldViewMode::Always);
    EXPECT_EQ(field->textRectForBounds(bounds), CGRectMake(35, 0, 165, 40));
    driver.settle();
    EXPECT_EQ(holder->frame(), CGRectMake(0, 4, 35, 32));
    EXPECT_FALSE(holder->isHidden());

    ASSERT_TRUE(driver.tapAt({20 + 20, 20 + 20}));
    EXPECT_EQ(log, (std::vector<std::string>{"search"}));
    EXPECT_FALSE(field->isEditing());

    field->setLeftViewMode(UITextFieldViewMode::UnlessEditing);
    ASSERT_TRUE(driver.tapAt({20 + 150, 20 + 20}));
    EXPECT_TRUE(field->isEditing());
    EXPECT_TRUE(holder->isHidden());
    EXPECT_EQ(field->textRectForBounds(bounds).origin.x, 0);
}

TEST_F(TextFieldTest, ClearButtonAsksTheDelegateThenEmptiesTheField) {
    field->setClearButtonMode(UITextFieldViewMode::WhileEditing);
    ASSERT_TRUE(driver.typeText(field, "abc"));
    CGRect clear = field->clearButtonRectForBounds(field->bounds());
    EXPECT_LT(CGRectGetMaxX(field->textRectForBounds(field->bounds())), 200);
    // A grey disc with a white cross through its middle.
    auto image = snapshotView(field, false, 2)->CGImage();
    auto pixel = [&](CGFloat x, CGFloat y) {
        return image->pixelAt(static_cast<std::size_t>(x * 2), static_cast<std::size_t>(y * 2));
    };
    const CGImagePixel cross = pixel(CGRectGetMidX(clear), CGRectGetMidY(clear));
    const CGImagePixel disc = pixel(CGRectGetMidX(clear), CGRectGetMinY(clear) + 3);
    EXPECT_GT(cross.red, 240);
    EXPECT_GT(cross.blue, 240);
    EXPECT_NEAR(disc.red, 191, 12);
    EXPECT_NEAR(disc.blue, 191, 12);
    log.clear();
    ASSERT_TRUE(driver.tapAt({20 + CGRectGetMidX(clear), 20 + CGRectGetMidY(clear)}));
    EXPECT_EQ(field->text(), "");
    EXPECT_EQ(std::count(log.begin(), log.end(), "EditingChanged"), 1);
}

TEST_F(TextFieldTest, PlaceholderAndAttributedTextKeepTheirOwnAttributes) {
    EXPECT_EQ(field->placeholder(), "请输入账号");
    ASSERT_TRUE(field->attributedPlaceholder());
    EXPECT_TRUE(field->attributedPlaceholder()->attributesAtIndex(0).foregroundColor.has_value());
    NSStringAttributes red;
    red.foregroundColor = UIColor::redColor();
    field->setAttributedText(NSAttributedString("红", red));
    EXPECT_EQ(field->text(), "红");
    NSStringAttributes shown = field->attributedText().attributesAtIndex(0);
    EXPECT_EQ(shown.foregroundColor, UIColor::redColor());
    EXPECT_EQ(shown.font, field->font());
    EXPECT_GT(field->intrinsicContentSize().height, 0);
}

}  // namespace

// A field and a text view, neither with a delegate, to type into.
class KeyboardEditingCost : public ControlsFixture {};

// Typing a character at the end of a text, or deleting the last one, costs
// what it adds or removes: the text before it is neither copied nor read.
// Typing and deleting the same characters after a text of four thousand and
// after one of two million characters takes about the same work, where a
// copy or a scan of the text per character takes some hundred times more
// after the longer one. The work is this thread's processor time.
TEST_F(KeyboardEditingCost, TypingAndDeletingAtTheEndCostTheSameAfterAShortAndAVeryLongText) {
    auto field = place(make<UITextField>(), CGRectMake(20, 20, 200, 40));
    auto view = place(make<UITextView>(), CGRectMake(20, 80, 200, 100));
    struct Edited {
        Ref<UIView> view;
        std::function<std::string()> text;
        std::function<void(std::string)> setText;
    };
    const std::vector<Edited> edited = {
        {field, [&] { return field->text(); }, [&](std::string text) { field->setText(std::move(text)); }},
        {view, [&] { return view->text(); }, [&](std::string text) { view->setText(std::move(text)); }}};
    // Characters of one, two and four UTF-8 bytes, one or two UTF-16 units.
    std::string typed;
    std::size_t characters = 0;
    for (; characters < 3000; characters += 3) typed += "a中😀";
    for (const auto& [shown, text, setText] : edited) {
        SCOPED_TRACE(shown == Ref<UIView>(field) ? "field" : "text view");
        auto editingTime = [&](std::size_t before) {
            // The last character before the typing, deleted too, is of three bytes.
            const std::string start = std::string(before, 'x') + "中";
            setText(start);
            // The view counts the text it was given once, at the first edit: not measured.
            EXPECT_TRUE(driver.typeText(shown, "y"));
            const double started = threadProcessorSeconds();
            EXPECT_TRUE(driver.typeText(shown, typed));
            EXPECT_EQ(text().size(), start.size() + 1 + typed.size());
            EXPECT_TRUE(driver.deleteBackward(characters + 2));
            const double spent = threadProcessorSeconds() - started;
            EXPECT_EQ(text(), std::string(before, 'x'));
            return spent;
        };
        const double afterShort = editingTime(4000), afterLong = editingTime(2000000);
        EXPECT_LT(afterLong, 3 * afterShort) << afterShort << " s, then " << afterLong << " s";
    }
}

// Each look at a field (what the driver reads at every command: its drawn
// lines, where a tap lands; and a picture of it) lays out only the line it
// shows: three looks at a field holding one unbroken word of 40,000
// characters take about the work they take at one of 4,000, where laying
// out the whole text, wrapped across the field, takes a hundred times more.
TEST_F(KeyboardEditingCost, LookingAtAFieldCostsTheSameWithAShortAndAVeryLongText) {
    auto field = place(make<UITextField>(), CGRectMake(20, 20, 200, 40));
    auto lookingTime = [&](std::size_t characters) {
        field->setText(std::string(characters, 'x'));
        const double started = threadProcessorSeconds();
        for (int look = 0; look < 3; ++look) {
            const std::string shown = driver.shownText(field);
            EXPECT_GT(shown.size(), 10u);
            EXPECT_LT(shown.size(), 100u);
            EXPECT_TRUE(driver.isInView(field));
            EXPECT_TRUE(snapshotView(field));
        }
        return threadProcessorSeconds() - started;
    };
    const double afterShort = lookingTime(4000), afterLong = lookingTime(40000);
    EXPECT_LT(afterLong, 3 * afterShort) << afterShort << " s, then " << afterLong << " s";
}
