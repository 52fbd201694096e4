#pragma once

#include <functional>
#include <string>

#include "foundation/NSObject.h"

enum class UIAlertActionStyle { Default = 0, Cancel = 1, Destructive = 2 };

// One button of an alert controller and what it runs once the alert has
// gone away.
class UIAlertAction : public NSObject {
public:
    using Handler = std::function<void(const Ref<UIAlertAction>& action)>;

    UIAlertAction(std::string title, UIAlertActionStyle style, Handler handler)
        : title_(std::move(title)), style_(style), handler_(std::move(handler)) {}
    static Ref<UIAlertAction> actionWithTitle(std::string title, UIAlertActionStyle style, Handler handler = nullptr) {
        return make<UIAlertAction>(std::move(title), style, std::move(handler));
    }

    const std::string& title() const { return title_; }
    UIAlertActionStyle style() const { return style_; }
    const Handler& handler() const { return handler_; }

private:
    std::string title_;
    UIAlertActionStyle style_;
    Handler handler_;
};
