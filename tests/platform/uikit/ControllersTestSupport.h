#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/AppFixture.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

// One log shared by the controllers of a test: "name.event" lines.
using EventLog = std::shared_ptr<std::vector<std::string>>;

// A controller that writes its life-cycle callbacks into the log, then runs
// the hook set for that event ("willDisappear+" when animated), once.
class LoggingController : public UIViewController {
public:
    LoggingController(std::string name, EventLog log) : name_(std::move(name)), log_(std::move(log)) {}

    void viewDidLoad() override { note("load"); }
    void viewWillAppear(bool animated) override { note(animated ? "willAppear+" : "willAppear"); }
    void viewDidAppear(bool animated) override { note(animated ? "didAppear+" : "didAppear"); }
    void viewWillDisappear(bool animated) override { note(animated ? "willDisappear+" : "willDisappear"); }
    void viewDidDisappear(bool animated) override { note(animated ? "didDisappear+" : "didDisappear"); }

    std::map<std::string, std::function<void()>> hooks;

private:
    void note(const std::string& event) {
        log_->push_back(name_ + "." + event);
        if (auto hook = hooks.extract(event)) hook.mapped()();
    }

    std::string name_;
    EventLog log_;
};

// A fixture with a key window and a log; `take()` hands over the lines
// logged so far and clears them.
class ControllersFixture : public AppFixture {
protected:
    Ref<LoggingController> controller(const std::string& name) { return make<LoggingController>(name, log); }
    void show(const Ref<UIViewController>& root) {
        window->setRootViewController(root);
        window->makeKeyAndVisible();
    }
    std::vector<std::string> take() {
        auto lines = *log;
        log->clear();
        return lines;
    }

    EventLog log = std::make_shared<std::vector<std::string>>();
    Ref<UIWindow> window = make<UIWindow>();
};
