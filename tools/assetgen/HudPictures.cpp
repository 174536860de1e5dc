// HUD quads are drawn opaque over the scene, so every picture is a complete dark panel with a lit frame.
#include "HudPictures.h"

#include <cmath>

const Color HudPictures::kStandardHue = Color(0.15f, 0.85f, 1.0f);
const Color HudPictures::kSniperHue = Color(0.3f, 1.0f, 0.35f);
const Color HudPictures::kPowerHue = Color(0.45f, 0.38f, 1.0f);

namespace {

using Align = TextPainter::Align;
const Color kFrame(0.25f, 0.85f, 1.0f);
const Color kWhite(1, 1, 1);
const Color kShadow(0, 0, 0, 0.9f);

} // namespace

void HudPictures::panel(Canvas& c, float x0, float y0, float x1, float y1, const Color& accent)
{
    c.fillRoundRect(x0, y0, x1, y1, 7, Color(0.015f, 0.03f, 0.06f));
    c.shade([&](float x, float y) {
        if (x < x0 || x > x1 || y < y0 || y > y1)
            return Color(0, 0, 0, 0);
        float t = (y - y0) / (y1 - y0);
        return Color::mix(Color(0.07f, 0.13f, 0.21f), Color(0.02f, 0.04f, 0.08f), t).withAlpha(0.85f);
    });
    c.strokeRoundRect(x0 + 3, y0 + 3, x1 - 3, y1 - 3, 5, 1.0f, accent.scaled(0.35f));
    c.strokeRoundRect(x0, y0, x1, y1, 7, 2.0f, accent);
}

void HudPictures::drawTower(Canvas& c, float cx, float baseY, float h, const Color& hue)
{
    const float k = h / 60.0f;
    const Color metal = Color::mix(Color(0.32f, 0.34f, 0.4f), hue, 0.15f);
    // Halo behind the crystal.
    Mask halo(c.width(), c.height());
    halo.paint(cx - 14 * k, baseY - 60 * k, cx + 14 * k, baseY - 28 * k, [=](float x, float y) {
        float dx = (x - cx) / (9 * k), dy = (y - (baseY - 44 * k)) / (14 * k);
        return dx * dx + dy * dy < 1.0f;
    });
    c.composite(halo.blurred(int(std::max(2.0f, 5 * k))), 0, 0, hue.withAlpha(0.9f), true);
    c.fillPolygon({cx - 17 * k, baseY, cx + 17 * k, baseY, cx + 14 * k, baseY - 6 * k, cx - 14 * k, baseY - 6 * k}, metal.scaled(0.8f));
    c.fillPolygon({cx - 6 * k, baseY - 6 * k, cx + 6 * k, baseY - 6 * k, cx + 4 * k, baseY - 26 * k, cx - 4 * k, baseY - 26 * k}, metal);
    c.line(cx, baseY - 8 * k, cx, baseY - 25 * k, std::max(1.0f, 1.5f * k), hue);
    for (int s = -1; s <= 1; s += 2) {
        c.fillPolygon({cx + s * 9 * k, baseY - 6 * k, cx + s * 14 * k, baseY - 6 * k, cx + s * 15 * k, baseY - 28 * k,
                       cx + s * 9 * k, baseY - 55 * k, cx + s * 10 * k, baseY - 30 * k},
                      metal.scaled(1.1f));
        c.line(cx + s * 10.5f * k, baseY - 30 * k, cx + s * 9.3f * k, baseY - 52 * k, std::max(1.0f, 1.2f * k), hue);
    }
    c.fillPolygon({cx, baseY - 60 * k, cx + 7 * k, baseY - 44 * k, cx, baseY - 30 * k, cx - 7 * k, baseY - 44 * k}, hue);
    c.fillPolygon({cx, baseY - 58 * k, cx + 3 * k, baseY - 45 * k, cx, baseY - 34 * k, cx - 2 * k, baseY - 45 * k},
                  Color::mix(hue, kWhite, 0.7f));
}

// Sell answers clicks on rows 0-51 of the picture, Upgrade on rows 51-99.
Canvas HudPictures::selectionMode()
{
    Canvas c(100, 100, Color(0.01f, 0.02f, 0.04f));
    const Color sell(1.0f, 0.45f, 0.3f), up(0.4f, 1.0f, 0.45f);
    panel(c, 1, 1, 99, 50, sell);
    panel(c, 1, 52, 99, 99, up);
    c.fillCircle(22, 25.5f, 11, sell.scaled(0.85f));
    c.ring(22, 25.5f, 8, 1.5f, Color(0.3f, 0.08f, 0.05f));
    text_.drawOn(c, "$", 14, 22, 31, Align::Centre, Color(0.25f, 0.05f, 0.02f));
    text_.drawOn(c, "SELL", 17, 63, 32, Align::Centre, kWhite, sell.withAlpha(0.8f), 2);
    c.fillPolygon({17, 64, 27, 76, 21, 76, 21, 88, 13, 88, 13, 76, 7, 76}, up);
    text_.drawOn(c, "UPGRADE", 11, 60, 80, Align::Centre, kWhite, up.withAlpha(0.8f), 2);
    return c;
}

Canvas HudPictures::selectionTool()
{
    Canvas c(100, 100, Color(0.01f, 0.02f, 0.04f));
    panel(c, 1, 1, 99, 99, kFrame);
    std::vector<float> arrow = {34, 14, 34, 62, 45, 52, 53, 70, 61, 66, 53, 49, 67, 49};
    c.line(34, 14, 34, 62, 5, kFrame.withAlpha(0.35f));
    c.line(34, 14, 67, 49, 5, kFrame.withAlpha(0.35f));
    c.fillPolygon(arrow, kFrame);
    std::vector<float> inner = {37, 21, 37, 55, 45.5f, 47, 54, 65, 57.5f, 63.5f, 49.5f, 46, 60, 46};
    c.fillPolygon(inner, kWhite);
    text_.drawOn(c, "SELECT", 13, 50, 90, Align::Centre, kWhite, kFrame.withAlpha(0.8f), 2);
    return c;
}

Canvas HudPictures::towers()
{
    Canvas c(300, 100, Color(0.01f, 0.02f, 0.04f));
    struct Button {
        const Color* hue;
        const char* name;
        const char* price;
    };
    const Button buttons[3] = {{&kStandardHue, "STANDARD", "100 $"}, {&kSniperHue, "SNIPER", "250 $"}, {&kPowerHue, "POWER", "500 $"}};
    for (int i = 0; i < 3; ++i) {
        float x0 = 100.0f * i;
        const Color& hue = *buttons[i].hue;
        panel(c, x0 + 1, 1, x0 + 99, 99, hue);
        drawTower(c, x0 + 50, 64, 52, hue);
        text_.drawOn(c, buttons[i].name, 10, x0 + 50, 76, Align::Centre, hue, Color(0, 0, 0, 0), 0);
        text_.drawOn(c, buttons[i].price, 15, x0 + 50, 93, Align::Centre, kWhite, hue.withAlpha(0.6f), 2);
    }
    return c;
}

Canvas HudPictures::superGlow()
{
    Canvas c(100, 100, Color(0.01f, 0.02f, 0.04f));
    const Color pink(1.0f, 0.35f, 0.95f);
    panel(c, 1, 1, 99, 99, pink);
    Mask burst(100, 100);
    burst.paint(10, 5, 90, 75, [](float x, float y) {
        float dx = x - 50, dy = y - 40;
        float r = std::sqrt(dx * dx + dy * dy);
        float a = std::atan2(dy, dx);
        float spikes = 15 + 16 * std::pow(std::fabs(std::cos(a * 4.0f)), 6.0f);
        return r < spikes;
    });
    c.composite(burst.blurred(5), 0, 0, pink.withAlpha(1.0f), true);
    c.composite(burst, 0, 0, Color::mix(pink, kWhite, 0.35f), false);
    c.fillCircle(50, 40, 9, kWhite);
    text_.drawOn(c, "SUPER GLOW", 12, 50, 89, Align::Centre, kWhite, pink.withAlpha(0.9f), 2);
    return c;
}

// The four values are drawn by the game at x = 27, 132, 202 and 272 with their text top 22 rows below the
// picture's top edge; each value gets a dark slot there and a caption above it.
Canvas HudPictures::selected()
{
    Canvas c(344, 77, Color(0.01f, 0.02f, 0.04f));
    panel(c, 1, 1, 343, 76, kFrame);
    struct Slot {
        float x0, x1;
        const char* caption;
    };
    const Slot slots[4] = {{21, 125, "POWER"}, {127, 196, "RANGE"}, {198, 266, "RATE"}, {268, 336, "UPGRADE $"}};
    for (const Slot& s : slots) {
        c.fillRoundRect(s.x0, 19, s.x1, 50, 4, Color(0.0f, 0.01f, 0.02f));
        c.strokeRoundRect(s.x0, 19, s.x1, 50, 4, 1.0f, kFrame.scaled(0.45f));
        text_.drawOn(c, s.caption, 10, s.x0 + 5, 15, Align::Left, kFrame, Color(0, 0, 0, 0), 0);
    }
    for (int i = 0; i < 4; ++i)
        c.fillRect(slots[i].x0 + 4, 58, slots[i].x1 - 4, 61, kFrame.scaled(0.25f + 0.15f * i));
    c.fillRect(21, 66, 336, 67, kFrame.scaled(0.3f));
    return c;
}

Canvas HudPictures::towerIcon(const Color& hue, const char* caption)
{
    Canvas c(63, 77, Color(0.01f, 0.02f, 0.04f));
    panel(c, 1, 1, 62, 76, hue);
    drawTower(c, 31.5f, 58, 50, hue);
    text_.drawOn(c, caption, 9, 31.5f, 71, Align::Centre, kWhite, hue.withAlpha(0.7f), 1);
    return c;
}
