#pragma once

#include <mutex>

typedef struct _PangoContext PangoContext;

// The one pango context every text measurement and drawing goes through, so
// they always agree: Noto Sans CJK SC as the text's font family, with Noto
// Color Emoji for the characters it has no glyph for (emoji drawn in
// colour; the only fonts fontconfig is given), 72 dots per inch so that a point is a unit, no
// hinting and unrounded glyph positions so sizes scale exactly. Pango is not
// thread-safe; hold `lock()` while using the context or layouts made in it.
class FontLibrary {
public:
    static constexpr const char* family = "Noto Sans CJK SC";
    static constexpr const char* emojiFamily = "Noto Color Emoji";
    // The family list every font description names: the text family first.
    static constexpr const char* familyList = "Noto Sans CJK SC,Noto Color Emoji";

    static FontLibrary& shared();

    std::unique_lock<std::recursive_mutex> lock() { return std::unique_lock(mutex_); }
    PangoContext* context() const { return context_; }

private:
    FontLibrary();

    std::recursive_mutex mutex_;
    PangoContext* context_ = nullptr;
};
