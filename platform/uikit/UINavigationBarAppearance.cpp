#include "uikit/UINavigationBarAppearance.h"

namespace {
const UIColor kHairline = UIColor::colorWithWhite(0, 0.3);
}

void UINavigationBarAppearance::configureWithDefaultBackground() {
    backgroundColor_ = UIColor::colorWithWhite(0.97, 1);
    backgroundImage_ = nullptr;
    shadowColor_ = kHairline;
    shadowImage_ = nullptr;
}

void UINavigationBarAppearance::configureWithOpaqueBackground() {
    backgroundColor_ = UIColor::whiteColor();
    backgroundImage_ = nullptr;
    shadowColor_ = kHairline;
    shadowImage_ = nullptr;
}

void UINavigationBarAppearance::configureWithTransparentBackground() {
    backgroundColor_ = std::nullopt;
    backgroundImage_ = nullptr;
    shadowColor_ = std::nullopt;
    shadowImage_ = nullptr;
}
