#pragma once

// The keyboard a text input asks for: its layout and its return key. The
// headless keyboard types whatever the driver sends; the traits are kept for
// the screens and tests that read them.
enum class UIKeyboardType {
    Default = 0,
    ASCIICapable = 1,
    NumbersAndPunctuation = 2,
    URL = 3,
    NumberPad = 4,
    PhonePad = 5,
    NamePhonePad = 6,
    EmailAddress = 7,
    DecimalPad = 8,
    Twitter = 9,
    WebSearch = 10,
    ASCIICapableNumberPad = 11,
};

enum class UIReturnKeyType {
    Default = 0,
    Go = 1,
    Google = 2,
    Join = 3,
    Next = 4,
    Route = 5,
    Search = 6,
    Send = 7,
    Yahoo = 8,
    Done = 9,
    EmergencyCall = 10,
    Continue = 11,
};
