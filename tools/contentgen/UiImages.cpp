#include "UiImages.h"

#include "TextureWriter.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
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

// White text with a soft dark shadow on a transparent background. align: 0 left, 1 centre,
// 2 right (labels sit right-aligned next to their control).
Picture renderText(FT_Face face, const std::string& utf8, int width, int height, int align)
{
    std::u32string text = decodeUtf8(utf8);
    int pixelSize = height - 2;
    for (; pixelSize > 6; --pixelSize) {
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
        if (textWidth(face, text) <= width - 4 &&
            (face->size->metrics.ascender - face->size->metrics.descender) / 64 <= height)
            break;
    }
    std::vector<float> coverage(static_cast<size_t>(width) * height, 0.0f);
    int total = textWidth(face, text);
    int penX = align == 0 ? 2 : align == 1 ? (width - total) / 2 : width - 4 - total;
    int ascender = static_cast<int>(face->size->metrics.ascender >> 6);
    int descender = static_cast<int>(-face->size->metrics.descender >> 6);
    int baseline = (height - (ascender + descender)) / 2 + ascender;
    for (char32_t ch : text) {
        if (FT_Load_Char(face, ch, FT_LOAD_RENDER) != 0)
            continue;
        FT_GlyphSlot g = face->glyph;
        for (unsigned row = 0; row < g->bitmap.rows; ++row) {
            for (unsigned col = 0; col < g->bitmap.width; ++col) {
                int x = penX + g->bitmap_left + static_cast<int>(col);
                int y = baseline - g->bitmap_top + static_cast<int>(row);
                if (x < 0 || y < 0 || x >= width || y >= height)
                    continue;
                float c = g->bitmap.buffer[row * g->bitmap.pitch + col] / 255.0f;
                float& dst = coverage[static_cast<size_t>(y) * width + x];
                dst = std::max(dst, c);
            }
        }
        penX += static_cast<int>(g->advance.x >> 6);
    }
    Picture picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float text = coverage[static_cast<size_t>(y) * width + x];
            float shadow = (x > 0 && y > 0) ? coverage[static_cast<size_t>(y - 1) * width + x - 1] : 0.0f;
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
        const char* text;
        int width, height, align;
    };
    const Image images[] = {
        {"timeOfDay.tga", "Time of day", 180, 32, 2},
        {"sunInclination.tga", "Sun inclination", 180, 32, 2},
        {"directLighting.tga", "Direct lighting", 180, 32, 2},
        {"skyLighting.tga", "Sky lighting", 180, 32, 2},
        {"lightPropagationVolumes.tga", "Light propagation volumes", 180, 32, 2},
        {"propagateSunLighting.tga", "Propagate sun lighting", 180, 32, 2},
        {"propagateSkyLighting.tga", "Propagate sky lighting", 180, 32, 2},
        {"SSAO.tga", "SSAO", 180, 32, 2},
        {"raytracing.tga", "Ray tracing", 180, 32, 2},
        {"pressF1.tga", "Press F1 for the control panel", 256, 32, 0},
        {"checkMark.tga", "\xE2\x9C\x93", 16, 16, 1},
        {"fps.tga", "FPS", 52, 16, 1},
        {"0.tga", "0", 12, 16, 1}, {"1.tga", "1", 12, 16, 1}, {"2.tga", "2", 12, 16, 1},
        {"3.tga", "3", 12, 16, 1}, {"4.tga", "4", 12, 16, 1}, {"5.tga", "5", 12, 16, 1},
        {"6.tga", "6", 12, 16, 1}, {"7.tga", "7", 12, 16, 1}, {"8.tga", "8", 12, 16, 1},
        {"9.tga", "9", 12, 16, 1},
    };
    for (const Image& image : images) {
        Picture picture = renderText(font.face, image.text, image.width, image.height, image.align);
        if (!writePicture(uiRoot + "/" + image.file, picture, true, error))
            return false;
    }
    return true;
}

}  // namespace Orvanta
