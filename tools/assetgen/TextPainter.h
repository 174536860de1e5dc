// FreeType-backed label rendering into coverage masks, for the HUD pictures' captions.
#pragma once

#include <string>

#include "Canvas.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

class TextPainter {
public:
    enum class Align { Left, Centre, Right };

    explicit TextPainter(const std::string& fontPath);
    ~TextPainter();
    TextPainter(const TextPainter&) = delete;
    TextPainter& operator=(const TextPainter&) = delete;

    bool ok() const { return face_ != nullptr; }
    int measure(const std::string& text, int pixelSize);
    // Draws text with its baseline at y; x is the left edge, centre or right edge as align says.
    void draw(Mask& mask, const std::string& text, int pixelSize, float x, float baselineY, Align align);
    // Convenience: text with an optional blurred halo underneath, composited straight onto a canvas.
    void drawOn(Canvas& canvas, const std::string& text, int pixelSize, float x, float baselineY, Align align,
                const Color& color, const Color& halo = Color(0, 0, 0, 0), int haloRadius = 0);

private:
    FT_LibraryRec_* library_ = nullptr;
    FT_FaceRec_* face_ = nullptr;
};
