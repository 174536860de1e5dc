// Painters for the HUD pictures, drawn at the exact pixel sizes the HUD shows them at 1024 x 768.
#pragma once

#include "Canvas.h"
#include "TextPainter.h"

class HudPictures {
public:
    explicit HudPictures(TextPainter& labels) : text_(labels) {}

    Canvas selectionMode();
    Canvas selectionTool();
    Canvas towers();
    Canvas superGlow();
    Canvas selected();
    Canvas towerIcon(const Color& hue, const char* caption);

    static const Color kStandardHue;
    static const Color kSniperHue;
    static const Color kPowerHue;

    // The crystal tower standing on (cx, baseY), `height` pixels tall, with its halo in the hue.
    static void drawTower(Canvas& c, float cx, float baseY, float height, const Color& hue);

private:
    void panel(Canvas& c, float x0, float y0, float x1, float y1, const Color& accent);

    TextPainter& text_;
};
