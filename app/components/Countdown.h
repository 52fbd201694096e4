#pragma once

#include "foundation/NSObject.h"

class UIButton;

// Turns a "get verification code" button into a 59-second resend countdown.
class Countdown {
public:
    Countdown() = delete;

    // Starts the countdown on the button, on the main thread: once a second
    // (the first time at once) its normal title becomes "重新发送(59)" down to
    // "重新发送(01)" and it takes no touches; the tick after 01 puts back
    // "获取验证码" and touches. The seconds are counted by a timer on a global
    // queue; the button is changed on the main queue. Starting again on a
    // button that is still counting restarts its countdown from 59 (the
    // earlier count stops), so two counts never fight over the title.
    static void StartTimeCodeBtn(const Ref<UIButton>& button);
};
