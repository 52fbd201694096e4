#pragma once

#include <vector>

#include "foundation/NSObject.h"

class UIScreen;
class UIWindow;

enum class UISceneActivationState { Unattached = -1, ForegroundActive = 0, ForegroundInactive = 1, Background = 2 };

// The application's one scene: its screen, its windows and whether it is in
// front. The application moves its activation state through the life cycle.
class UIWindowScene : public NSObject {
public:
    UISceneActivationState activationState() const { return activationState_; }
    void setActivationState(UISceneActivationState state) { activationState_ = state; }
    Ref<UIScreen> screen() const;
    // The application's windows that belong to this scene.
    std::vector<Ref<UIWindow>> windows() const;

private:
    UISceneActivationState activationState_ = UISceneActivationState::Unattached;
};
