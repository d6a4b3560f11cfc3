#include "UiImages.h"

#include "TextureWriter.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace Orvanta {

namespace {

const char* const FontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct FontLibrary {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~FontLibrary()
    {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
};

std::u32string decodeUtf8(const std::string& s)
{
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            out.push_back(c);
            i += 1;
        } else if ((c >> 5) == 6) {
            out.push_back(((c & 0x1F) << 6) | (s[i + 1] & 0x3F));
            i += 2;
        } else {
            out.push_back(((c & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F));
            i += 3;
        }
    }
    return out;
}

int textWidth(FT_Face face, const std::u32string& text)
{
    int width = 0;
    for (char32_t ch : text) {
        if (FT_Load_Char(face, ch, FT_LOAD_DEFAULT) == 0)
            width += static_cast<int>(face->glyph->advance.x >> 6);
    }
    return width;
}

// Coverage (0..1 per pixel) that text and shapes are drawn into before it becomes a picture.
struct Coverage {
    int width, height;
    std::vector<float> values;
    Coverage(int w, int h) : width(w), height(h), values(static_cast<size_t>(w) * h, 0.0f) {}
    void add(int x, int y, float c)
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return;
        float& dst = values[static_cast<size_t>(y) * width + x];
        dst = std::max(dst, c);
    }
    float at(int x, int y) const { return values[static_cast<size_t>(y) * width + x]; }
};

int lineHeight(FT_Face face)
{
    return static_cast<int>((face->size->metrics.ascender - face->size->metrics.descender) >> 6);
}

// One line of text at the face's current size, centred vertically in the band [top, top +
// bandHeight). align: 0 left, 1 centre, 2 right.
void drawLine(FT_Face face, const std::u32string& text, Coverage& coverage, int top, int bandHeight, int align)
{
    int total = textWidth(face, text);
    int penX = align == 0 ? 2 : align == 1 ? (coverage.width - total) / 2 : coverage.width - 4 - total;
    int ascender = static_cast<int>(face->size->metrics.ascender >> 6);
    int baseline = top + (bandHeight - lineHeight(face)) / 2 + ascender;
    for (char32_t ch : text) {
        if (FT_Load_Char(face, ch, FT_LOAD_RENDER) != 0)
            continue;
        FT_GlyphSlot g = face->glyph;
        for (unsigned row = 0; row < g->bitmap.rows; ++row)
            for (unsigned col = 0; col < g->bitmap.width; ++col)
                coverage.add(penX + g->bitmap_left + static_cast<int>(col),
                             baseline - g->bitmap_top + static_cast<int>(row),
                             g->bitmap.buffer[row * g->bitmap.pitch + col] / 255.0f);
        penX += static_cast<int>(g->advance.x >> 6);
    }
}

// The largest pixel size, at most maxSize, at which every line fits the width and its band.
bool fitSize(FT_Face face, const std::vector<std::u32string>& lines, int width, int bandHeight, int maxSize)
{
    for (int size = maxSize; size > 6; --size) {
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size));
        bool fits = lineHeight(face) <= bandHeight;
        for (const std::u32string& line : lines)
            fits = fits && textWidth(face, line) <= width - 4;
        if (fits)
            return true;
    }
    return false;
}

// Text as large as fits, at most maxSize pixels. With `wrap`, text too long for one line at
// maxSize is broken at the space nearest its middle into two smaller lines, so every label of a
// set keeps a readable size.
void drawText(FT_Face face, const std::string& utf8, Coverage& coverage, int align, int maxSize, bool wrap)
{
    std::u32string text = decodeUtf8(utf8);
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(maxSize));
    size_t split = std::u32string::npos;
    if (wrap && textWidth(face, text) > coverage.width - 4) {
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == U' ' && (split == std::u32string::npos ||
                                    std::abs(static_cast<long>(i) - static_cast<long>(text.size() / 2)) <
                                        std::abs(static_cast<long>(split) - static_cast<long>(text.size() / 2))))
                split = i;
    }
    if (split == std::u32string::npos) {
        fitSize(face, {text}, coverage.width, coverage.height, maxSize);
        drawLine(face, text, coverage, 0, coverage.height, align);
        return;
    }
    std::vector<std::u32string> lines = {text.substr(0, split), text.substr(split + 1)};
    int band = coverage.height / 2;
    fitSize(face, lines, coverage.width, band, maxSize);
    drawLine(face, lines[0], coverage, 0, band, align);
    drawLine(face, lines[1], coverage, band, band, align);
}

// A tick filling most of its square: two strokes, anti-aliased by the distance of each pixel
// centre to the stroke's centre line.
void drawCheckMark(Coverage& coverage)
{
    const float w = static_cast<float>(coverage.width);
    const float h = static_cast<float>(coverage.height);
    const float points[3][2] = {{0.18f * w, 0.52f * h}, {0.42f * w, 0.78f * h}, {0.84f * w, 0.2f * h}};
    const float halfWidth = 0.09f * w;
    auto distanceToSegment = [](float px, float py, const float* a, const float* b) {
        float dx = b[0] - a[0], dy = b[1] - a[1];
        float t = std::clamp(((px - a[0]) * dx + (py - a[1]) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
        float ex = px - (a[0] + t * dx), ey = py - (a[1] + t * dy);
        return std::sqrt(ex * ex + ey * ey);
    };
    for (int y = 0; y < coverage.height; ++y)
        for (int x = 0; x < coverage.width; ++x) {
            float cx = x + 0.5f, cy = y + 0.5f;
            float d = std::min(distanceToSegment(cx, cy, points[0], points[1]),
                               distanceToSegment(cx, cy, points[1], points[2]));
            coverage.add(x, y, std::clamp(halfWidth + 0.5f - d, 0.0f, 1.0f));
        }
}

// The coverage as white on a transparent background, with a soft dark shadow one pixel down and
// right.
Picture toPicture(const Coverage& coverage)
{
    Picture picture(coverage.width, coverage.height);
    for (int y = 0; y < coverage.height; ++y) {
        for (int x = 0; x < coverage.width; ++x) {
            float text = coverage.at(x, y);
            float shadow = (x > 0 && y > 0) ? coverage.at(x - 1, y - 1) : 0.0f;
            float alpha = text + shadow * 0.7f * (1.0f - text);
            float grey = alpha > 0.0f ? text / alpha : 0.0f;
            uint8_t* p = picture.at(x, y);
            p[0] = p[1] = p[2] = toByte(grey);
            p[3] = toByte(alpha);
        }
    }
    return picture;
}

}  // namespace

bool writeUiImages(const std::string& uiRoot, std::string& error)
{
    FontLibrary font;
    if (FT_Init_FreeType(&font.library) != 0) {
        error = "cannot initialise FreeType";
        return false;
    }
    if (FT_New_Face(font.library, FontPath, 0, &font.face) != 0) {
        error = std::string(FontPath) + ": font missing or unreadable (install fonts-dejavu-core)";
        return false;
    }
    struct Image {
        const char* file;
        const char* text;  // null: the check mark, drawn as a shape
        int width, height, align;
        int maxSize;  // largest font size in pixels
        bool wrap;    // may take two lines
    };
    // The labels share one size (long ones take two lines) so the panel reads evenly.
    constexpr int labelSize = 18;
    const Image images[] = {
        {"timeOfDay.tga", "Time of day", 180, 32, 2, labelSize, true},
        {"sunInclination.tga", "Sun inclination", 180, 32, 2, labelSize, true},
        {"directLighting.tga", "Direct lighting", 180, 32, 2, labelSize, true},
        {"skyLighting.tga", "Sky lighting", 180, 32, 2, labelSize, true},
        {"lightPropagationVolumes.tga", "Light propagation volumes", 180, 32, 2, labelSize, true},
        {"propagateSunLighting.tga", "Propagate sun lighting", 180, 32, 2, labelSize, true},
        {"propagateSkyLighting.tga", "Propagate sky lighting", 180, 32, 2, labelSize, true},
        {"SSAO.tga", "SSAO", 180, 32, 2, labelSize, true},
        {"raytracing.tga", "Ray tracing", 180, 32, 2, labelSize, true},
        {"pressF1.tga", "F1 panel  F2 reference  F3 probes", 256, 32, 0, 30, false},
        {"screenshotSaved.tga", "Screenshot saved", 256, 32, 0, 30, false},
        {"checkMark.tga", nullptr, 16, 16, 1, 16, false},
        {"fps.tga", "FPS", 52, 16, 1, 16, false},
        {"0.tga", "0", 12, 16, 1, 16, false},
        {"1.tga", "1", 12, 16, 1, 16, false},
        {"2.tga", "2", 12, 16, 1, 16, false},
        {"3.tga", "3", 12, 16, 1, 16, false},
        {"4.tga", "4", 12, 16, 1, 16, false},
        {"5.tga", "5", 12, 16, 1, 16, false},
        {"6.tga", "6", 12, 16, 1, 16, false},
        {"7.tga", "7", 12, 16, 1, 16, false},
        {"8.tga", "8", 12, 16, 1, 16, false},
        {"9.tga", "9", 12, 16, 1, 16, false},
    };
    for (const Image& image : images) {
        Coverage coverage(image.width, image.height);
        if (image.text)
            drawText(font.face, image.text, coverage, image.align, image.maxSize, image.wrap);
        else
            drawCheckMark(coverage);
        if (!writePicture(uiRoot + "/" + image.file, toPicture(coverage), true, error))
            return false;
    }
    return true;
}

}  // namespace Orvanta
