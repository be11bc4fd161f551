// Bitmaps by resource id, blits, offscreen copies and the reference counts of bitmaps and fonts.

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "CBitmap.h"
#include "CFontDesc.h"
#include "Canvas.h"

namespace ToolkitTest {
namespace {

using Toolkit::CBitmap;

struct BitmapSize {
    int32_t id, width, height;
    const char* file;
};

constexpr BitmapSize kPanelBitmaps[] = {
    {103, 641, 301, "103-background.bmp"}, {105, 9, 21, "105-slider-handle.bmp"},
    {106, 9, 173, "106-slider-track.bmp"}, {107, 9, 173, "107-slider-track-valve.bmp"},
    {108, 35, 17, "108-display.bmp"},      {109, 24, 34, "109-button-a.bmp"},
    {110, 47, 17, "110-button-undo.bmp"},  {111, 47, 17, "111-button-undo-lit.bmp"},
    {112, 24, 17, "112-button-a-lit.bmp"}, {113, 47, 17, "113-button-copy.bmp"},
    {114, 24, 34, "114-button-b.bmp"},     {115, 24, 17, "115-button-b-lit.bmp"},
};

// The pixels of a 24-bit uncompressed BMP file, top row first; empty when unreadable.
std::vector<ViewColor> readBmp(const std::string& path, int32_t width, int32_t height) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return {};
    std::vector<unsigned char> bytes;
    unsigned char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(file);
    const size_t stride = (size_t(width) * 3 + 3) / 4 * 4;
    if (bytes.size() < 54 + stride * size_t(height)) return {};
    std::vector<ViewColor> pixels;
    for (int32_t y = 0; y < height; ++y) {
        const unsigned char* row = bytes.data() + 54 + stride * size_t(height - 1 - y);
        for (int32_t x = 0; x < width; ++x) pixels.push_back(ViewColor{row[3 * x + 2], row[3 * x + 1], row[3 * x]});
    }
    return pixels;
}

TEST(PanelBitmaps, EachLoadsByIdAtItsSizeWithTheFilesPixels) {
    for (const BitmapSize& expected : kPanelBitmaps) {
        SCOPED_TRACE(expected.id);
        CBitmap* bitmap = new CBitmap(expected.id);
        EXPECT_EQ(bitmap->width(), expected.width);
        EXPECT_EQ(bitmap->height(), expected.height);
        Canvas canvas(expected.width, expected.height, std::to_string(expected.id));
        bitmap->blit(canvas.get(), ViewRect{0, 0, expected.width, expected.height});
        bitmap->release();
        if (expected.id == 103) canvas.save();  // the background, for looking at
        const auto file = readBmp(std::string(KORVEL_RESOURCE_DIR "/") + expected.file, expected.width, expected.height);
        ASSERT_FALSE(file.empty()) << expected.file;
        int32_t differing = 0;
        for (int32_t y = 0; y < expected.height; ++y)
            for (int32_t x = 0; x < expected.width; ++x)
                if (canvas.at(x, y) != file[size_t(y) * size_t(expected.width) + size_t(x)]) ++differing;
        EXPECT_EQ(differing, 0);
    }
}

TEST(PanelBitmaps, AMissingIdGivesAnEmptyBitmapThatDrawsNothing) {
    CBitmap* bitmap = new CBitmap(104);
    EXPECT_EQ(bitmap->width(), 0);
    EXPECT_EQ(bitmap->height(), 0);
    Canvas canvas(20, 20);
    bitmap->blit(canvas.get(), ViewRect{0, 0, 20, 20});
    bitmap->blitAlpha(canvas.get(), ViewRect{0, 0, 20, 20}, ViewPoint{}, 100);
    EXPECT_TRUE(canvas.inkBounds(0).isEmpty());

    EXPECT_TRUE(bitmap->reloadFromResource(105));
    EXPECT_EQ(bitmap->width(), 9);
    EXPECT_EQ(bitmap->height(), 21);
    bitmap->freeImage();
    EXPECT_EQ(bitmap->width(), 0);
    bitmap->release();
}

#ifdef _WIN32
TEST(PanelBitmaps, AnEncodedDataResourceIsDecodedFromItsBytes) {
    CBitmap* bitmap = new CBitmap(201);
    EXPECT_EQ(bitmap->width(), 35);
    EXPECT_EQ(bitmap->height(), 17);
    Canvas fromData(35, 17, "data"), fromBitmap(35, 17, "bitmap");
    bitmap->blit(fromData.get(), ViewRect{0, 0, 35, 17});
    bitmap->release();
    CBitmap* reference = new CBitmap(108);
    reference->blit(fromBitmap.get(), ViewRect{0, 0, 35, 17});
    reference->release();
    EXPECT_EQ(fromData.differingPixels(fromBitmap), 0);
}
#endif

// A 16 x 16 opaque image whose pixel (x, y) is (16x, 16y, 99).
CBitmap* gridBitmap() {
    std::vector<uint32_t> pixels;
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 16; ++x) pixels.push_back(0xff000000u | (x * 16) << 16 | (y * 16) << 8 | 99u);
    return new CBitmap(16, 16, pixels.data());
}

TEST(Blits, SourceOffsetPicksThePartAndTheOffsetMovesTheTarget) {
    CBitmap* grid = gridBitmap();
    Canvas canvas(40, 40);
    canvas->setOffset(ViewPoint{2, 1});
    grid->blit(canvas.get(), ViewRect{5, 5, 15, 13}, ViewPoint{3, 4});
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 10; ++x)
            ASSERT_EQ(canvas.at(7 + x, 6 + y), (ViewColor{uint8_t((3 + x) * 16), uint8_t((4 + y) * 16), 99})) << x << "," << y;
    EXPECT_EQ(canvas.inkBounds(0), (ViewRect{7, 6, 17, 14}));
    grid->release();
}

TEST(Blits, APartOutsideTheImageLeavesTheTargetUnchanged) {
    CBitmap* grid = gridBitmap();
    Canvas canvas(40, 40);
    grid->blit(canvas.get(), ViewRect{0, 0, 10, 10}, ViewPoint{10, 12});
    EXPECT_EQ(canvas.inkBounds(0), (ViewRect{0, 0, 6, 4}));
    EXPECT_EQ(canvas.at(0, 0), (ViewColor{160, 192, 99}));
    // Before the image's corner: the image starts that much further into the rectangle.
    Canvas before(40, 40, "before");
    grid->blit(before.get(), ViewRect{20, 0, 30, 10}, ViewPoint{-2, -3});
    EXPECT_EQ(before.at(22, 3), (ViewColor{0, 0, 99}));
    EXPECT_EQ(before.at(29, 9), (ViewColor{112, 96, 99}));
    EXPECT_EQ(before.at(21, 3), kBlack);
    EXPECT_EQ(before.at(22, 2), kBlack);
    // A kick button's pressed image lies one image height below a one-image bitmap: nothing shows.
    grid->blitTransparent(canvas.get(), ViewRect{20, 20, 36, 36}, ViewPoint{0, 16});
    EXPECT_EQ(canvas.at(25, 25), kBlack);
    grid->release();
}

TEST(Blits, AlphaOf255IsAPlainBlitAndLowerAlphaBlends) {
    std::vector<uint32_t> pixels;
    for (uint32_t i = 0; i < 64; ++i) {
        const uint32_t alpha = i * 4, level = alpha * (i % 3) / 2;  // premultiplied: channels <= alpha
        pixels.push_back(alpha << 24 | level << 16 | (alpha / 2) << 8 | alpha);
    }
    CBitmap* translucent = new CBitmap(8, 8, pixels.data());
    Canvas plain(20, 20, "blit"), alpha255(20, 20, "alpha255");
    for (Canvas* canvas : {&plain, &alpha255}) {
        (*canvas)->setFillColor(ViewColor{60, 120, 180});
        (*canvas)->drawRect(ViewRect{0, 0, 20, 20}, Toolkit::kDrawFilled);
    }
    translucent->blit(plain.get(), ViewRect{4, 4, 12, 12});
    translucent->blitAlpha(alpha255.get(), ViewRect{4, 4, 12, 12}, ViewPoint{}, 255);
    EXPECT_EQ(plain.differingPixels(alpha255), 0);
    EXPECT_NE(plain.at(11, 11), (ViewColor{60, 120, 180})) << "the image drew something";
    translucent->release();

    std::vector<uint32_t> opaque(16, 0xffffffffu);
    CBitmap* square = new CBitmap(4, 4, opaque.data());
    Canvas half(10, 10, "alpha128");
    square->blitAlpha(half.get(), ViewRect{2, 2, 6, 6}, ViewPoint{}, 128);
    EXPECT_NEAR(half.at(3, 3).green, 128, 2);
    EXPECT_EQ(half.at(1, 1), kBlack);
    square->release();
}

TEST(Blits, OffscreenCopyDrawsTheSameAreaIntoTheTarget) {
    auto* offscreen = new Toolkit::COffscreenContext(nullptr, 30, 30);
    offscreen->setFillColor(kGreen);
    offscreen->drawRect(ViewRect{0, 0, 30, 30}, Toolkit::kDrawFilled);
    offscreen->setFillColor(kRed);
    offscreen->drawRect(ViewRect{10, 10, 20, 20}, Toolkit::kDrawFilled);
    Canvas canvas(40, 40);
    offscreen->copyTo(canvas.get(), ViewRect{5, 5, 15, 15});
    EXPECT_EQ(canvas.inkBounds(0), (ViewRect{5, 5, 15, 15}));
    EXPECT_EQ(canvas.at(5, 5), kGreen);
    EXPECT_EQ(canvas.at(14, 14), kRed);
    EXPECT_EQ(canvas.at(9, 9), kGreen);
    offscreen->release();
}

int destroyedBitmaps = 0;
int destroyedFonts = 0;

struct CountedBitmap : CBitmap {
    CountedBitmap() : CBitmap(105) {}
    ~CountedBitmap() override { ++destroyedBitmaps; }
};

struct CountedFont : Toolkit::CFontDesc {
    CountedFont() : CFontDesc("Arial", 13) {}
    ~CountedFont() override { ++destroyedFonts; }
};

TEST(ReferenceCounts, ABitmapLivesUntilItsLastHolderReleasesIt) {
    destroyedBitmaps = 0;
    auto* bitmap = new CountedBitmap;
    EXPECT_EQ(bitmap->referenceCount(), 1);
    bitmap->retain();
    bitmap->release();
    EXPECT_EQ(destroyedBitmaps, 0);
    Canvas canvas(20, 30);
    bitmap->blit(canvas.get(), ViewRect{0, 0, 9, 21});
    bitmap->release();
    EXPECT_EQ(destroyedBitmaps, 1);
}

TEST(ReferenceCounts, AContextHoldsItsFontUntilItChangesFontOrGoes) {
    destroyedFonts = 0;
    auto* font = new CountedFont;
    auto* context = new Toolkit::COffscreenContext(nullptr, 10, 10);
    EXPECT_EQ(context->font(), Toolkit::sharedFont(Toolkit::SharedFont::Default12));

    context->setFont(font);  // size 0, style -1: the font itself
    EXPECT_EQ(context->font(), font);
    context->setFont(font, 13, 0);  // same size and style: still itself
    EXPECT_EQ(context->font(), font);
    EXPECT_EQ(font->referenceCount(), 2);
    font->release();
    EXPECT_EQ(destroyedFonts, 0);
    EXPECT_GT(context->stringWidth("Korvel"), 0);

    // Another size makes a new font of the name; font, held only by the context, goes after that.
    context->setFont(font, 9, -1);
    EXPECT_EQ(destroyedFonts, 1);
    EXPECT_STREQ(context->font()->name(), "Arial");
    EXPECT_EQ(context->font()->size(), 9);
    context->setFont(context->font(), 18, Toolkit::kFontBold);
    EXPECT_EQ(context->font()->size(), 18);
    EXPECT_EQ(context->font()->style(), Toolkit::kFontBold);

    auto* second = new CountedFont;
    context->setFont(second);
    second->release();
    context->release();
    EXPECT_EQ(destroyedFonts, 2);
}

}  // namespace
}  // namespace ToolkitTest
