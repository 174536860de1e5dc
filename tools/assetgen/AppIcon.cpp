// Painted in icon units (0 ... 1 across the square) so every size is the same picture, not a scaled bitmap.
#include "AppIcon.h"

#include <algorithm>
#include <cmath>

#include "HudPictures.h"

namespace {

const Color kBack(0.015f, 0.03f, 0.065f);
const Color kGrid(0.25f, 0.85f, 1.0f);
const Color kFileFace(0.03f, 0.13f, 0.17f);
const Color kFileEdge(0.45f, 0.95f, 1.0f);
const Color kEnemyFace(0.35f, 0.03f, 0.08f);
const Color kEnemyEdge(1.0f, 0.35f, 0.45f);

// Distance from (x, y) to the nearest multiple of `step`.
float offGrid(float v, float step)
{
    float f = std::fmod(std::fabs(v), step);
    return std::min(f, step - f);
}

// The board in perspective below a horizon: glowing cell edges, fading with depth.
void board(Canvas& c, float s, float horizon)
{
    c.shade([&](float x, float y) {
        if (y <= horizon + 1.0f)
            return Color(0, 0, 0, 0);
        const float depth = s * 0.1f / (y - horizon);  // 1 / distance of the ground under this pixel
        const float u = (x - s * 0.5f) * depth / s * 24.0f, v = depth * 6.0f;
        const float px = depth / s * 24.0f;                  // grid units per pixel across
        const float pz = depth * depth * 6.0f / (s * 0.1f);  // and along
        const float dx = offGrid(u, 1.0f) / std::max(px, 1e-4f), dz = offGrid(v, 1.0f) / std::max(pz, 1e-4f);
        const float d = std::min(dx, dz);
        const float core = d < 0.6f ? 1.0f : 0.0f;
        const float halo = std::exp(-d / (s / 64.0f + 1.0f)) * 0.6f;
        const float fade = clamp01((y - horizon) / (s * 0.45f)) * 0.9f + 0.1f;
        return Color::mix(kGrid.scaled(0.7f), Color(0.85f, 0.98f, 1.0f), core).withAlpha(std::max(core, halo) * fade);
    });
}

// A box seen from the front and a little above: front face, top face and right face with lit edges.
void box(Canvas& c, float x, float y, float w, float s, const Color& face, const Color& edge)
{
    const float d = w * 0.35f, line = std::max(1.0f, s / 96.0f);
    std::vector<float> front = {x, y, x + w, y, x + w, y + w, x, y + w};
    std::vector<float> top = {x, y, x + d, y - d * 0.7f, x + w + d, y - d * 0.7f, x + w, y};
    std::vector<float> side = {x + w, y, x + w + d, y - d * 0.7f, x + w + d, y + w - d * 0.7f, x + w, y + w};
    Mask glow(c.width(), c.height());
    glow.paint(x - d, y - d, x + w + 2 * d, y + w + d, [&](float px, float py) {
        return px > x - 1 && px < x + w + d + 1 && py > y - d && py < y + w + 1;
    });
    c.composite(glow.blurred(std::max(1, int(s / 24))), 0, 0, edge.withAlpha(0.55f), true);
    c.fillPolygon(front, face);
    c.fillPolygon(top, face.scaled(1.8f));
    c.fillPolygon(side, face.scaled(0.6f));
    for (const std::vector<float>* face : {&front, &top, &side})
        for (size_t i = 0; i < face->size(); i += 2) {
            size_t j = (i + 2) % face->size();
            c.line((*face)[i], (*face)[i + 1], (*face)[j], (*face)[j + 1], line, edge);
        }
    // A small glowing square on the front, as files and enemies wear.
    c.fillRect(x + w * 0.35f, y + w * 0.35f, x + w * 0.65f, y + w * 0.65f, edge.scaled(0.8f));
}

} // namespace

Canvas AppIcon::paint(int size)
{
    const float s = float(size);
    const float inset = s * 0.03f, radius = s * 0.18f;
    Canvas c(size, size, kBack);
    board(c, s, s * 0.42f);
    box(c, s * 0.8f, s * 0.47f, s * 0.08f, s, kEnemyFace, kEnemyEdge);
    box(c, s * 0.5f, s * 0.53f, s * 0.2f, s, kFileFace, kFileEdge);
    HudPictures::drawTower(c, s * 0.36f, s * 0.84f, s * 0.62f, HudPictures::kStandardHue);
    c.strokeRoundRect(inset, inset, s - inset, s - inset, radius, std::max(1.0f, s / 64.0f), kGrid.scaled(0.9f));
    // Everything outside the rounded square, halos included, is cut away.
    Mask inside(size, size);
    inside.paint(0, 0, s, s, [&](float x, float y) {
        const float cx = std::clamp(x, inset + radius, s - inset - radius);
        const float cy = std::clamp(y, inset + radius, s - inset - radius);
        return x > inset && x < s - inset && y > inset && y < s - inset &&
               (x - cx) * (x - cx) + (y - cy) * (y - cy) < radius * radius;
    });
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            c.at(x, y).a = std::min(c.at(x, y).a, inside.at(x, y));
    return c;
}
