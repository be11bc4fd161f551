// Draws the test scene into a PNG and a PAM file, or compares two PAM files outside the scene's
// text; used to hold the Windows backend (under Wine) against the Linux one.
// Usage: korvel_toolkit_scene draw NAME            writes NAME.png and NAME.pam
//        korvel_toolkit_scene compare A.pam B.pam TOLERANCE

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "COffscreenContext.h"
#include "TestScene.h"

using namespace Toolkit;
using ToolkitTest::kSceneHeight;
using ToolkitTest::kSceneWidth;

namespace {

bool writePam(Toolkit::COffscreenContext* context, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "P7\nWIDTH " << context->width() << "\nHEIGHT " << context->height()
        << "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    for (int32_t y = 0; y < context->height(); ++y)
        for (int32_t x = 0; x < context->width(); ++x) {
            const ViewColor c = context->pixelAt(x, y);
            const char bytes[4] = {char(c.red), char(c.green), char(c.blue), char(c.alpha)};
            out.write(bytes, 4);
        }
    return bool(out);
}

struct Picture {
    int32_t width = 0, height = 0;
    std::vector<unsigned char> rgba;
};

bool readPam(const std::string& path, Picture& picture) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line) && line != "ENDHDR") {
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (key == "WIDTH") words >> picture.width;
        if (key == "HEIGHT") words >> picture.height;
    }
    if (picture.width <= 0 || picture.height <= 0) return false;
    picture.rgba.resize(size_t(picture.width) * size_t(picture.height) * 4);
    in.read(reinterpret_cast<char*>(picture.rgba.data()), std::streamsize(picture.rgba.size()));
    return bool(in);
}

// The box of bright pixels (text is white on a dark ground) within the area.
ViewRect inkBounds(const Picture& picture, const ViewRect& area) {
    ViewRect ink{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (int32_t y = area.top; y < area.bottom; ++y)
        for (int32_t x = area.left; x < area.right; ++x)
            if (picture.rgba[(size_t(y) * size_t(picture.width) + size_t(x)) * 4 + 1] > 128) {
                ink.left = std::min(ink.left, x);
                ink.top = std::min(ink.top, y);
                ink.right = std::max(ink.right, x + 1);
                ink.bottom = std::max(ink.bottom, y + 1);
            }
    return ink;
}

bool inText(int32_t x, int32_t y) {
    for (const ViewRect& area : ToolkitTest::sceneTextAreas())
        if (x >= area.left && x < area.right && y >= area.top && y < area.bottom) return true;
    return false;
}

int draw(const std::string& name) {
    auto* context = new COffscreenContext(nullptr, kSceneWidth, kSceneHeight);
    ToolkitTest::drawScene(context);
    const bool written = context->writePng((name + ".png").c_str()) && writePam(context, name + ".pam");
    context->release();
    if (!written) std::cerr << "cannot write " << name << ".png/.pam\n";
    return written ? 0 : 1;
}

int compare(const std::string& first, const std::string& second, int tolerance) {
    Picture a, b;
    if (!readPam(first, a) || !readPam(second, b)) {
        std::cerr << "cannot read " << first << " or " << second << "\n";
        return 2;
    }
    if (a.width != b.width || a.height != b.height) {
        std::cerr << "sizes differ\n";
        return 1;
    }
    int worst = 0, beyond = 0, textDiffering = 0;
    for (int32_t y = 0; y < a.height; ++y)
        for (int32_t x = 0; x < a.width; ++x) {
            int difference = 0;
            for (int c = 0; c < 4; ++c) {
                const size_t i = (size_t(y) * size_t(a.width) + size_t(x)) * 4 + size_t(c);
                difference = std::max(difference, std::abs(int(a.rgba[i]) - int(b.rgba[i])));
            }
            if (inText(x, y)) {
                textDiffering += difference > tolerance;
                continue;
            }
            worst = std::max(worst, difference);
            if (difference > tolerance) {
                if (beyond < 10) std::cerr << "pixel " << x << "," << y << " differs by " << difference << "\n";
                ++beyond;
            }
        }
    std::cout << "outside text: largest channel difference " << worst << ", " << beyond << " pixels beyond "
              << tolerance << "; inside text: " << textDiffering << " pixels beyond it\n";
    // Glyph shapes differ, but each text must stand in the same place to within a pixel.
    bool textPlaced = true;
    for (const ViewRect& area : ToolkitTest::sceneTextAreas()) {
        const ViewRect first = inkBounds(a, area), second = inkBounds(b, area);
        const int shift = std::max({std::abs(first.left - second.left), std::abs(first.top - second.top),
                                    std::abs(first.right - second.right), std::abs(first.bottom - second.bottom)});
        std::cout << "text ink (" << first.left << "," << first.top << ")-(" << first.right << "," << first.bottom
                  << ") against (" << second.left << "," << second.top << ")-(" << second.right << ","
                  << second.bottom << ")\n";
        textPlaced = textPlaced && shift <= 1;
    }
    return beyond == 0 && textPlaced ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "draw") return draw(args[1]);
    if (args.size() == 4 && args[0] == "compare") return compare(args[1], args[2], std::atoi(args[3].c_str()));
    std::cerr << "usage: korvel_toolkit_scene draw NAME | compare A.pam B.pam TOLERANCE\n";
    return 2;
}
