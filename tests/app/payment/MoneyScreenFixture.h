#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/payment/KXClassicRequest.h"
#include "tests/app/team/TeamScreenFixture.h"
#include "tests/support/TextFitCheck.h"

// The money screens against the real local back end, signed in as the demo
// promoter, on a navigation stack in the key window (the team screens'
// fixture: a relay records what was sent). Shots go to <build>/shots/payment.
class MoneyScreenFixture : public TeamScreenFixture {
protected:
    void SetUp() override {
        TeamScreenFixture::SetUp();
        KXLocallyStoredData::setUsername("demo");
    }

    // Pushes a screen the test has set up, as its opener does, and lets the
    // push finish.
    template <class Screen> Ref<Screen> show(const Ref<Screen>& screen) {
        stack->pushViewController(screen, true);
        finishTransition();
        return screen;
    }
    void goBack() {
        ASSERT_TRUE(driver.back()) << driver.lastError();
        finishTransition();
    }
    // The demo promoter's data as the back end answers it now.
    Value backendAnswer(const std::string& action, const Dictionary& fields = {},
                        const std::vector<std::string>& signedFields = {}) {
        std::optional<Value> answer;
        KXClassicRequest::send(KXClassicRequest::query(action, fields, signedFields),
                               [&](const Value& value) { answer = value; }, [&](const Value& value) { answer = value; });
        EXPECT_TRUE(runUntil([&] { return answer.has_value(); }));
        return answer.value_or(Value());
    }

    void shot(const std::string& name) { DemoPromoterFixture::shot("payment", name); }
    // The shot of a result or money page: nothing in view cut off with an
    // ellipsis either.
    void wholeShot(const std::string& name) {
        expectNothingCutOff(driver, name);
        shot(name);
    }
};
