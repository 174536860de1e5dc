// The game's bitmap font: printable ASCII and the middle dot (U+00B7) rasterised with FreeType onto one page,
// plus its BMFont text description.
#pragma once

#include <memory>
#include <string>

#include "Canvas.h"

class FontAtlas {
public:
    static constexpr int kPageSize = 256;
    static constexpr int kPixelSize = 22;

    // Returns false when the face cannot be loaded or the glyphs do not fit on one page.
    bool build(const std::string& fontPath);

    const std::string& description() const { return description_; }
    const Canvas& page() const { return *page_; }
    // The glow pass must not light up text or HUD pictures: black, keeping the glyph coverage as alpha.
    const Canvas& glowPage() const { return *glowPage_; }

private:
    std::string description_;
    std::unique_ptr<Canvas> page_;
    std::unique_ptr<Canvas> glowPage_;
};
