// Labels use FreeType's hinted anti-aliased rasteriser so small HUD captions stay legible.
#include "TextPainter.h"

#include <ft2build.h>
#include FT_FREETYPE_H

TextPainter::TextPainter(const std::string& fontPath)
{
    if (FT_Init_FreeType(&library_) != 0) {
        library_ = nullptr;
        return;
    }
    if (FT_New_Face(library_, fontPath.c_str(), 0, &face_) != 0)
        face_ = nullptr;
}

TextPainter::~TextPainter()
{
    if (face_)
        FT_Done_Face(face_);
    if (library_)
        FT_Done_FreeType(library_);
}

int TextPainter::measure(const std::string& text, int pixelSize)
{
    if (!face_)
        return 0;
    FT_Set_Pixel_Sizes(face_, 0, pixelSize);
    long pen = 0;
    for (unsigned char ch : text) {
        if (FT_Load_Char(face_, ch, FT_LOAD_DEFAULT) != 0)
            continue;
        pen += face_->glyph->advance.x;
    }
    return int((pen + 32) >> 6);
}

void TextPainter::draw(Mask& mask, const std::string& text, int pixelSize, float x, float baselineY, Align align)
{
    if (!face_)
        return;
    int width = measure(text, pixelSize);
    float start = x;
    if (align == Align::Centre)
        start = x - width * 0.5f;
    else if (align == Align::Right)
        start = x - width;
    FT_Set_Pixel_Sizes(face_, 0, pixelSize);
    long pen = long(start * 64.0f + 0.5f);
    int base = int(baselineY + 0.5f);
    for (unsigned char ch : text) {
        if (FT_Load_Char(face_, ch, FT_LOAD_RENDER) != 0)
            continue;
        FT_GlyphSlot g = face_->glyph;
        int gx = int((pen + 32) >> 6) + g->bitmap_left;
        int gy = base - g->bitmap_top;
        for (unsigned row = 0; row < g->bitmap.rows; ++row)
            for (unsigned col = 0; col < g->bitmap.width; ++col) {
                unsigned char v = g->bitmap.buffer[row * g->bitmap.pitch + col];
                if (v)
                    mask.addMax(gx + int(col), gy + int(row), v / 255.0f);
            }
        pen += g->advance.x;
    }
}

void TextPainter::drawOn(Canvas& canvas, const std::string& text, int pixelSize, float x, float baselineY, Align align,
                         const Color& color, const Color& halo, int haloRadius)
{
    Mask m(canvas.width(), canvas.height());
    draw(m, text, pixelSize, x, baselineY, align);
    if (haloRadius > 0 && halo.a > 0)
        canvas.composite(m.blurred(haloRadius), 0, 0, halo, false);
    canvas.composite(m, 0, 0, color, false);
}
