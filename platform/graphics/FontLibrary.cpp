#include "graphics/FontLibrary.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

namespace {

// A fontconfig set-up holding only the files of the family, found through
// the system's configuration.
FcConfig* configWithOnlyTheFamily() {
    FcConfig* config = FcConfigCreate();
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(FontLibrary::family));
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, nullptr);
    FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
    if (fonts) {
        for (int i = 0; i < fonts->nfont; ++i) {
            FcChar8* file = nullptr;
            if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) == FcResultMatch) {
                FcConfigAppFontAddFile(config, file);
            }
        }
        FcFontSetDestroy(fonts);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return config;
}

}  // namespace

// Fontconfig keeps the fonts it scans behind encoded offsets instead of
// pointers, which the leak checker of sanitizer builds cannot follow; those
// allocations are fontconfig's own and live as long as the font map.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }

FontLibrary& FontLibrary::shared() {
    static FontLibrary* library = new FontLibrary();  // lives as long as the process
    return *library;
}

FontLibrary::FontLibrary() {
    PangoFontMap* fontMap = pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT);
    FcConfig* config = configWithOnlyTheFamily();
    pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(fontMap), config);
    FcConfigDestroy(config);  // the font map holds its own reference
    pango_cairo_font_map_set_resolution(PANGO_CAIRO_FONT_MAP(fontMap), 72);
    context_ = pango_font_map_create_context(fontMap);
    g_object_unref(fontMap);  // the context holds it

    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    pango_cairo_context_set_font_options(context_, options);
    cairo_font_options_destroy(options);
    pango_context_set_round_glyph_positions(context_, FALSE);
    pango_context_set_language(context_, pango_language_from_string("zh-cn"));
}
