#include "graphics/FontLibrary.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/XMLText.h"

namespace {

// The files that hold the text family and the emoji family, as the
// system's configuration knows them.
std::vector<std::string> filesOfTheFamilies() {
    std::vector<std::string> files;
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, nullptr);
    for (const char* family : {FontLibrary::family, FontLibrary::emojiFamily}) {
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
        if (FcFontSet* fonts = FcFontList(nullptr, pattern, objects)) {
            for (int i = 0; i < fonts->nfont; ++i) {
                FcChar8* file = nullptr;
                if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) == FcResultMatch) {
                    files.emplace_back(reinterpret_cast<const char*>(file));
                }
            }
            FcFontSetDestroy(fonts);
        }
        FcPatternDestroy(pattern);
    }
    FcObjectSetDestroy(objects);
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    return files;
}

// The colour emoji come as bitmaps of one size: a font without outlines is
// scaled to the size asked for (fontconfig's own bitmap scaling rule).
constexpr const char* kBitmapScaling =
    "<match target=\"font\"><test name=\"outline\" compare=\"eq\"><bool>false</bool></test>"
    "<edit name=\"pixelsizefixupfactor\" mode=\"assign\"><divide><name target=\"pattern\">pixelsize</name>"
    "<name target=\"font\">pixelsize</name></divide></edit></match>"
    "<match target=\"font\"><test name=\"outline\" compare=\"eq\"><bool>false</bool></test>"
    "<edit name=\"matrix\" mode=\"assign\"><times><name>matrix</name><matrix><name>pixelsizefixupfactor</name>"
    "<double>0</double><double>0</double><name>pixelsizefixupfactor</name></matrix></times></edit>"
    "<edit name=\"size\" mode=\"assign\"><divide><name>size</name><name>pixelsizefixupfactor</name></divide></edit>"
    "</match>";

// A fontconfig set-up holding only the files of the two families (every
// face in them), read from the folders that hold them through the system's font
// caches, so that no font file has to be opened and scanned at start.
FcConfig* configWithOnlyTheFamilies() {
    std::vector<std::string> files = filesOfTheFamilies();
    std::string xml = "<fontconfig>";
    // A name XML cannot carry (not UTF-8) is left out.
    const auto element = [&xml](const std::string& tag, const std::string& text) {
        if (auto escaped = XMLElementText(text)) xml += "<" + tag + ">" + *escaped + "</" + tag + ">";
    };
    std::vector<std::string> folders;
    for (const auto& file : files) {
        std::string folder = std::filesystem::path(file).parent_path().string();
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
    }
    for (const auto& folder : folders) element("dir", folder);
    if (FcStrList* caches = FcConfigGetCacheDirs(nullptr)) {
        while (FcChar8* cache = FcStrListNext(caches)) {
            element("cachedir", reinterpret_cast<const char*>(cache));
        }
        FcStrListDone(caches);
    }
    // Only the families' files are taken from those folders.
    xml += "<selectfont><acceptfont>";
    for (const auto& file : files) element("glob", file);
    xml += "</acceptfont><rejectfont><glob>*</glob></rejectfont></selectfont>";
    xml += kBitmapScaling;
    xml += "</fontconfig>";

    FcConfig* config = FcConfigCreate();
    FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(xml.c_str()), FcTrue);
    FcConfigBuildFonts(config);
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
    // The system's set-up is read once, here, before the font map is made:
    // a new font map reads it on a thread of its own unless it is read
    // already, and two threads reading it at once both read it whole.
    FcConfig* config = configWithOnlyTheFamilies();
    PangoFontMap* fontMap = pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT);
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
