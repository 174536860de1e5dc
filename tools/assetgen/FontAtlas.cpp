// Glyphs are shelf-packed with two pixels of spacing so linear filtering never bleeds a neighbour into a glyph.
#include "FontAtlas.h"

#include <algorithm>
#include <sstream>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

constexpr int kSpacing = 2;

struct FtHandles {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~FtHandles()
    {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
};

} // namespace

bool FontAtlas::build(const std::string& fontPath)
{
    FtHandles ft;
    if (FT_Init_FreeType(&ft.library) != 0 || FT_New_Face(ft.library, fontPath.c_str(), 0, &ft.face) != 0)
        return false;
    FT_Set_Pixel_Sizes(ft.face, 0, kPixelSize);

    const int ascender = int((ft.face->size->metrics.ascender + 63) >> 6);
    const int lineHeight = int((ft.face->size->metrics.height + 63) >> 6);

    page_ = std::make_unique<Canvas>(kPageSize, kPageSize, Color(1, 1, 1, 0));
    glowPage_ = std::make_unique<Canvas>(kPageSize, kPageSize, Color(0, 0, 0, 0));

    // Printable ASCII, then the middle dot that separates the parts of the HUD's wave line. Glyphs outside
    // ASCII come after it, so the ASCII glyphs keep their places on the page.
    std::vector<int> codes;
    for (int code = 32; code <= 126; ++code)
        codes.push_back(code);
    codes.push_back(0xB7);

    std::ostringstream chars;
    int penX = kSpacing, penY = kSpacing, shelfHeight = 0, count = 0;
    for (int code : codes) {
        if (FT_Load_Char(ft.face, FT_ULong(code), FT_LOAD_RENDER) != 0)
            return false;
        FT_GlyphSlot g = ft.face->glyph;
        int w = int(g->bitmap.width), h = int(g->bitmap.rows);
        if (penX + w + kSpacing > kPageSize) {
            penX = kSpacing;
            penY += shelfHeight + kSpacing;
            shelfHeight = 0;
        }
        if (penY + h + kSpacing > kPageSize)
            return false;
        for (int row = 0; row < h; ++row)
            for (int col = 0; col < w; ++col) {
                float cov = g->bitmap.buffer[row * g->bitmap.pitch + col] / 255.0f;
                page_->at(penX + col, penY + row) = Color(1, 1, 1, cov);
                glowPage_->at(penX + col, penY + row) = Color(0, 0, 0, cov);
            }
        int xadvance = int((g->advance.x + 32) >> 6);
        chars << "char id=" << code << " x=" << penX << " y=" << penY << " width=" << w << " height=" << h
              << " xoffset=" << g->bitmap_left << " yoffset=" << (ascender - g->bitmap_top)
              << " xadvance=" << xadvance << " page=0 chnl=15\n";
        penX += w + kSpacing;
        shelfHeight = std::max(shelfHeight, h);
        ++count;
    }

    std::ostringstream out;
    // A bitmap rendering is a modified version of the font, which may not carry the font's reserved name.
    out << "info face=\"Varrow Sans\" size=" << kPixelSize
        << " bold=0 italic=0 charset=\"\" unicode=0 stretchH=100 smooth=1 aa=1 padding=0,0,0,0 spacing="
        << kSpacing << "," << kSpacing << " outline=0\n";
    out << "common lineHeight=" << lineHeight << " base=" << ascender << " scaleW=" << kPageSize
        << " scaleH=" << kPageSize << " pages=1 packed=0 alphaChnl=0 redChnl=4 greenChnl=4 blueChnl=4\n";
    out << "page id=0 file=\"arial_0.tga\"\n";
    out << "chars count=" << count << "\n";
    out << chars.str();
    description_ = out.str();
    return true;
}
