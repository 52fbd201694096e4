#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "graphics/UIImage.h"

class UIViewController;

// Who takes the head-image screen's cut (the session object).
class setHeadImageDelegate {
public:
    virtual ~setHeadImageDelegate() = default;
    // The upload's request number, or -1 when it did not start.
    virtual std::int32_t didFinishedSetUserLocalPic(const Ref<UIViewController>& screen, const Ref<UIImage>& image,
                                                    const std::optional<std::string>& fileName) = 0;
    // The screen asks to be closed: Cancel, or the end of a success notice.
    virtual bool didCancelled(const Ref<UIViewController>& screen, std::int32_t seq) = 0;
};
