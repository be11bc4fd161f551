// The drawing backend on Linux: cairo image surfaces, text through cairo's FreeType/fontconfig fonts.
// Geometry follows the Windows backend's pixel rules: fills cover whole pixels from their integer
// corner, while lines and outlines are centred on pixel centres (hence the half-pixel shift).

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstring>

#include "CFontDesc.h"
#include "PlatformGraphics.h"

namespace Toolkit::Platform {

namespace {

void setSource(cairo_t* cr, ViewColor color) {
    cairo_set_source_rgba(cr, color.red / 255.0, color.green / 255.0, color.blue / 255.0, color.alpha / 255.0);
}

class CairoImage final : public Image {
public:
    explicit CairoImage(cairo_surface_t* surface) : surface(surface) {}
    ~CairoImage() override { cairo_surface_destroy(surface); }

    int32_t width() const override { return cairo_image_surface_get_width(surface); }
    int32_t height() const override { return cairo_image_surface_get_height(surface); }

    ViewColor pixel(int32_t x, int32_t y) override {
        if (x < 0 || y < 0 || x >= width() || y >= height()) return {0, 0, 0, 0};
        cairo_surface_flush(surface);
        const unsigned char* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
        uint32_t value;
        std::memcpy(&value, row + 4 * x, sizeof value);
        const uint32_t alpha = value >> 24;
        if (alpha == 0) return {0, 0, 0, 0};
        auto straight = [alpha](uint32_t channel) { return uint8_t((channel * 255 + alpha / 2) / alpha); };
        return {straight((value >> 16) & 0xff), straight((value >> 8) & 0xff), straight(value & 0xff), uint8_t(alpha)};
    }

    bool writePng(const char* path) override {
        return cairo_surface_write_to_png(surface, path) == CAIRO_STATUS_SUCCESS;
    }

    cairo_surface_t* surface;
};

class CairoFont final : public Font {
public:
    CairoFont(cairo_font_face_t* face, int32_t size, bool underline) : face(face), size(size), underline(underline) {
        // Line metrics unrounded, glyph advances rounded to whole pixels, as the Windows text
        // layout measures them.
        cairo_scaled_font_t* exact = scaledFont(CAIRO_HINT_METRICS_OFF);
        cairo_scaled_font_extents(exact, &extents);
        cairo_scaled_font_destroy(exact);
        scaled = scaledFont(CAIRO_HINT_METRICS_ON);
    }
    ~CairoFont() override {
        cairo_scaled_font_destroy(scaled);
        cairo_font_face_destroy(face);
    }

    // The space the text layout leaves before and after a line: a sixth of the font size.
    double margin() const { return size / 6.0; }

    cairo_font_face_t* face;
    cairo_scaled_font_t* scaled;
    cairo_font_extents_t extents;
    int32_t size;
    bool underline;

private:
    cairo_scaled_font_t* scaledFont(cairo_hint_metrics_t hintMetrics) const {
        cairo_matrix_t fontMatrix, identity;
        cairo_matrix_init_scale(&fontMatrix, size, size);
        cairo_matrix_init_identity(&identity);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_hint_metrics(options, hintMetrics);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
        cairo_scaled_font_t* font = cairo_scaled_font_create(face, &fontMatrix, &identity, options);
        cairo_font_options_destroy(options);
        return font;
    }
};

class CairoGraphics final : public Graphics {
public:
    explicit CairoGraphics(cairo_surface_t* surface) : cr(cairo_create(surface)) {
        // Square caps: a line covers both its end pixels, as on Windows.
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    }
    ~CairoGraphics() override { cairo_destroy(cr); }

    void setPenColor(ViewColor color) override { penColor = color; }
    void setPenWidth(int32_t width) override { penWidth = width; }
    void setPenDashed(bool value) override { dashed = value; }
    void setSmoothing(bool antialiased) override {
        cairo_set_antialias(cr, antialiased ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
    }
    void setFillColor(ViewColor color) override { fillColor = color; }
    void setTextColor(ViewColor color) override { textColor = color; }

    void setClip(const ViewRect& clip) override {
        cairo_reset_clip(cr);
        cairo_rectangle(cr, clip.left, clip.top, std::max(0, clip.width()), std::max(0, clip.height()));
        cairo_clip(cr);
    }

    void drawLine(ViewPoint from, ViewPoint to) override {
        cairo_move_to(cr, from.x + 0.5, from.y + 0.5);
        cairo_line_to(cr, to.x + 0.5, to.y + 0.5);
        stroke();
    }

    void fillRectangle(int32_t x, int32_t y, int32_t width, int32_t height) override {
        cairo_rectangle(cr, x, y, width, height);
        setSource(cr, fillColor);
        cairo_fill(cr);
    }

    void strokeRectangle(int32_t x, int32_t y, int32_t width, int32_t height) override {
        cairo_rectangle(cr, x + 0.5, y + 0.5, width, height);
        stroke();
    }

    float lineHeight(Font& font) override { return static_cast<float>(static_cast<CairoFont&>(font).extents.height); }

    float measureString(Font& font, const char* utf8) override {
        cairo_text_extents_t text;
        auto& cairoFont = static_cast<CairoFont&>(font);
        cairo_scaled_font_text_extents(cairoFont.scaled, utf8, &text);
        return static_cast<float>(text.x_advance + 2 * cairoFont.margin());
    }

    void drawString(Font& font, const char* utf8, float left, float top, bool antialias) override {
        auto& cairoFont = static_cast<CairoFont&>(font);
        cairo_save(cr);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
        cairo_font_options_set_antialias(options, antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
        cairo_set_font_options(cr, options);
        cairo_font_options_destroy(options);
        cairo_set_font_face(cr, cairoFont.face);
        cairo_set_font_size(cr, cairoFont.size);
        setSource(cr, textColor);
        const double baseline = top + cairoFont.extents.ascent;
        left += static_cast<float>(cairoFont.margin());
        cairo_move_to(cr, left, baseline);
        cairo_show_text(cr, utf8);
        if (cairoFont.underline) {
            cairo_text_extents_t text;
            cairo_text_extents(cr, utf8, &text);
            const double thickness = std::max(1.0, cairoFont.size / 14.0);
            cairo_rectangle(cr, left, baseline + cairoFont.size / 10.0, text.x_advance, thickness);
            cairo_fill(cr);
        }
        cairo_restore(cr);
    }

    void drawImage(Image& image, const ViewRect& source, ViewPoint destination, uint8_t alpha) override {
        cairo_save(cr);
        cairo_rectangle(cr, destination.x, destination.y, source.width(), source.height());
        cairo_clip(cr);
        cairo_set_source_surface(cr, static_cast<CairoImage&>(image).surface, destination.x - source.left,
                                 destination.y - source.top);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
        if (alpha == 255)
            cairo_paint(cr);
        else
            cairo_paint_with_alpha(cr, alpha / 255.0);
        cairo_restore(cr);
    }

    int32_t lastStatus() const override { return static_cast<int32_t>(cairo_status(cr)); }

private:
    void stroke() {
        setSource(cr, penColor);
        cairo_set_line_width(cr, penWidth);
        const double dash[] = {3.0 * penWidth, 1.0 * penWidth};
        cairo_set_dash(cr, dash, dashed ? 2 : 0, 0);
        cairo_stroke(cr);
    }

    cairo_t* cr;
    ViewColor penColor, fillColor, textColor;
    int32_t penWidth = 1;
    bool dashed = false;
};

// The best font fontconfig offers for the family and style; null when it has none.
FcPattern* matchFamily(const char* family, int32_t style) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pattern, FC_WEIGHT, (style & kFontBold) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, (style & kFontItalic) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    return match;
}

// The first font of the installed collection, for when no family matches at all.
FcPattern* firstInstalledFont() {
    FcFontSet* fonts = FcConfigGetFonts(nullptr, FcSetSystem);
    if (!fonts || fonts->nfont == 0) return nullptr;
    FcPatternReference(fonts->fonts[0]);
    return fonts->fonts[0];
}

}  // namespace

void retainLibrary() {}
void releaseLibrary() {}

// A window's device here is the cairo surface on it (the X11 frame window makes one).
std::unique_ptr<Graphics> createWindowGraphics(void* deviceContext, void*, ViewPoint&) {
    if (!deviceContext) return nullptr;
    return std::make_unique<CairoGraphics>(static_cast<cairo_surface_t*>(deviceContext));
}

std::unique_ptr<Graphics> createImageGraphics(Image& image) {
    return std::make_unique<CairoGraphics>(static_cast<CairoImage&>(image).surface);
}

std::unique_ptr<Image> createImage(int32_t width, int32_t height) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return std::make_unique<CairoImage>(surface);
}

std::unique_ptr<Image> createImageFromPixels(int32_t width, int32_t height, const uint32_t* premultipliedArgb) {
    auto image = createImage(width, height);
    if (!image) return nullptr;
    cairo_surface_t* surface = static_cast<CairoImage&>(*image).surface;
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int32_t y = 0; y < height; ++y)
        std::memcpy(data + y * stride, premultipliedArgb + size_t(y) * size_t(width), size_t(width) * 4);
    cairo_surface_mark_dirty(surface);
    return image;
}

std::unique_ptr<Font> createFont(const char* name, int32_t size, int32_t style) {
    FcPattern* match = matchFamily(name && *name ? name : "sans-serif", style);
    if (!match) match = matchFamily("sans-serif", style);
    if (!match) match = firstInstalledFont();
    if (!match) return nullptr;
    cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(match);
    FcPatternDestroy(match);
    if (cairo_font_face_status(face) != CAIRO_STATUS_SUCCESS) {
        cairo_font_face_destroy(face);
        return nullptr;
    }
    return std::make_unique<CairoFont>(face, size, (style & kFontUnderline) != 0);
}

}  // namespace Toolkit::Platform
