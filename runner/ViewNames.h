#pragma once

#include <string>
#include <vector>

#include "uikit/UIView.h"
#include "uikit/UIViewController.h"

// How the runner names to a user what they see: a pop-up by a plain word
// and its title or message ("the QR code sheet", "the progress message
// "复制成功"", "the pop-up "手机""), a screen by its title, a view by its
// caption, its "#name" or its kind ("a button"). Never a class or an
// address: the answers are read by people who see the screen, not the code.
namespace ViewNames {

// The texts the shown labels inside the view show, in tree order.
std::vector<std::string> shownTexts(const Ref<UIView>& view);

// The shown buttons inside the view that have a caption (controls, and
// views that act on a tap themselves), in tree order.
std::vector<Ref<UIView>> buttons(const Ref<UIView>& view);
// The items as words: "A", "A and B", "A, B and C" (`lastJoin` in place of
// " and ").
std::string listed(const std::vector<std::string>& items, const std::string& lastJoin = " and ");

// A pop-up (an overlay, or a card the app laid on the window), with the
// captions of its buttons (fields are none) and how it closes: a tap
// outside it on its backdrop (at a point named), a tap on a button of an
// alert, or by itself for a progress message ("the QR code sheet with the
// button 保存 (a tap outside it closes it: tap 188,42)").
std::string popUp(const Ref<UIView>& popUp);

// A screen by the title a user sees on it ("the screen 资产"), or "the
// screen" when it shows none.
std::string screen(const Ref<UIViewController>& screen);

// A view in the way of a gesture: the pop-up it is part of; a page laid
// over a screen's whole view (a payment's result card), by its first
// caption, which back leaves; else the view and the screen it is on ("a
// button on the screen 首页").
std::string cover(const Ref<UIView>& cover);

}  // namespace ViewNames
