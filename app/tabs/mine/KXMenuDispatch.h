#pragma once

#include <cstdint>
#include <optional>

#include "app/promotion/KXScreenFactory.h"
#include "app/tabs/mine/KXMineNavType.h"
#include "uikit/UIViewController.h"

// The menu dispatch of the Home grid and the Mine menu: a tapped entry's
// function code opens its screen on the performing screen's navigation
// stack, pushed animated. Codes without a case, cases that open nothing
// (promoteGame, withdrawalDetails) and a screen outside a navigation stack
// do nothing. The real-name code pushes nothing by itself: it runs the
// real-name check, which reports the promoter verified or pushes the
// verification form on the same stack.
void performMenuDispatch(std::int64_t type, const Ref<UIViewController>& screen);

// The screen a code's case opens, freshly made and configured; nothing for
// the cases that open no screen and for the real-name check.
std::optional<KXScreenFactory> menuScreenFactory(KXMineNavType type);
