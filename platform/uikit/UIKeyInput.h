#pragma once

#include <string>

// What a view that takes typing offers (text fields, text views): the
// driver's typeText makes the view first responder, then inserts the text
// through this interface, so the view runs its delegate calls, editing
// events and notifications exactly as for keyboard input.
class UIKeyInput {
public:
    virtual ~UIKeyInput() = default;
    virtual bool hasText() const = 0;
    virtual void insertText(const std::string& text) = 0;
    virtual void deleteBackward() = 0;
};
