// Every scene texture is a tile that maps once onto a face: bright edges on a dark ground, so neighbouring
// cells and box faces read as one glowing network.
#include "SceneTextures.h"

#include <cmath>

#include "TowerModel.h"

namespace {

// Distance in pixels from the nearest image edge.
float edgeDistance(float x, float y, int size)
{
    return std::min(std::min(x, y), std::min(size - x, size - y));
}

// Deterministic hash noise in [0, 1).
float hashNoise(int x, int y, int seed)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return float(h & 0xFFFFFF) / float(0x1000000);
}

const Color kBoardBase = Color(0.025f, 0.05f, 0.10f);
const Color kBoardEdge = Color(0.25f, 0.85f, 1.0f);
const Color kBoardTrace = Color(0.07f, 0.24f, 0.36f);

// Thin circuit traces inside a cell: an inset frame with notched corners and a few stubs leading to nodes.
void circuitTraces(Canvas& c, const Color& col, float width)
{
    const float s = float(c.width());
    const float k = s / 256.0f;
    const float in = 40 * k, notch = 22 * k;
    std::vector<float> frame = {in + notch, in, s - in - notch, in, s - in, in + notch, s - in, s - in - notch,
                                s - in - notch, s - in, in + notch, s - in, in, s - in - notch, in, in + notch};
    for (size_t i = 0; i < frame.size(); i += 2) {
        size_t j = (i + 2) % frame.size();
        c.line(frame[i], frame[i + 1], frame[j], frame[j + 1], width, col);
    }
    const float stubs[][4] = {{s * 0.5f, in, s * 0.5f, 12 * k}, {s - in, s * 0.5f, s - 12 * k, s * 0.5f},
                              {s * 0.5f, s - in, s * 0.5f, s - 12 * k}, {in, s * 0.5f, 12 * k, s * 0.5f},
                              {in + notch, in, in + notch, in + 30 * k}, {s - in - notch, s - in, s - in - notch, s - in - 30 * k}};
    for (const auto& st : stubs) {
        c.line(st[0], st[1], st[2], st[3], width, col);
        c.fillCircle(st[2], st[3], width * 1.8f, col);
    }
}

} // namespace

Canvas SceneTextures::boardCell()
{
    const int n = 256;
    Canvas c(n, n);
    c.shade([&](float x, float y) {
        float dx = (x - n * 0.5f) / n, dy = (y - n * 0.5f) / n;
        float centre = 1.0f - std::sqrt(dx * dx + dy * dy) * 1.2f;
        float grain = 0.92f + 0.08f * hashNoise(int(x) / 4, int(y) / 4, 7);
        Color base = Color::mix(kBoardBase, Color(0.045f, 0.085f, 0.16f), clamp01(centre)).scaled(grain);
        return base;
    });
    circuitTraces(c, kBoardTrace, 2.0f);
    c.shade([&](float x, float y) {
        float d = edgeDistance(x, y, n);
        float core = d < 2.5f ? 1.0f : 0.0f;
        float halo = std::exp(-(d - 2.5f) / 5.0f) * 0.55f;
        float a = std::max(core, clamp01(halo));
        return Color::mix(kBoardEdge.scaled(0.6f), Color(0.8f, 0.97f, 1.0f), core).withAlpha(a);
    });
    return c;
}

Canvas SceneTextures::boardCellGlow()
{
    const int n = 256;
    Canvas c(n, n);
    c.shade([&](float x, float y) {
        float d = edgeDistance(x, y, n);
        float a = d < 3.0f ? 1.0f : clamp01(std::exp(-(d - 3.0f) / 3.0f));
        return kBoardEdge.scaled(0.7f).withAlpha(a);
    });
    return c;
}

Canvas SceneTextures::enemy(const Color& hue)
{
    const int n = 128;
    Canvas c(n, n);
    const Color dark = hue.scaled(0.16f);
    c.shade([&](float x, float y) {
        float dx = std::fabs(x - n * 0.5f), dy = std::fabs(y - n * 0.5f);
        float stripes = std::fmod(x + y, 16.0f) < 5.0f ? 1.0f : 0.0f;
        float hazard = (std::max(dx, dy) > 44 && std::max(dx, dy) < 52) ? stripes : 0.0f;
        Color base = Color::mix(dark, hue.scaled(0.35f), hazard * 0.8f);
        return base;
    });
    // Angry core: a diamond with four spikes and a dark slit, reading as "hostile" from far away.
    const float m = n * 0.5f;
    for (int k = 0; k < 4; ++k) {
        float a = k * 3.14159265f * 0.5f + 3.14159265f * 0.25f;
        float ca = std::cos(a), sa = std::sin(a);
        std::vector<float> spike = {m + ca * 14 - sa * 7, m + sa * 14 + ca * 7, m + ca * 40, m + sa * 40,
                                    m + ca * 14 + sa * 7, m + sa * 14 - ca * 7};
        c.fillPolygon(spike, hue.scaled(0.75f));
    }
    c.fillPolygon({m, m - 24, m + 24, m, m, m + 24, m - 24, m}, hue);
    c.fillPolygon({m, m - 15, m + 15, m, m, m + 15, m - 15, m}, Color::mix(hue, Color(1, 1, 1), 0.55f));
    c.fillRect(m - 14, m - 2.5f, m + 14, m + 2.5f, dark);
    // A white pupil in the slit: the spawn paths sample exactly this centre texel and are drawn white.
    c.fillRect(m - 2, m - 2, m + 2, m + 2, Color(1, 1, 1));
    c.shade([&](float x, float y) {
        float d = edgeDistance(x, y, n);
        float core = d < 3.0f ? 1.0f : 0.0f;
        float halo = clamp01(std::exp(-(d - 3.0f) / 4.0f) * 0.6f);
        return Color::mix(hue.scaled(0.8f), Color::mix(hue, Color(1, 1, 1), 0.5f), core).withAlpha(std::max(core, halo));
    });
    return c;
}

Canvas SceneTextures::enemyGlow(const Color& tint, float strength)
{
    const int n = 128;
    Canvas c(n, n);
    c.shade([&](float x, float y) {
        float d = edgeDistance(x, y, n);
        float a = d < 3.5f ? 1.0f : clamp01(std::exp(-(d - 3.5f) / 3.0f));
        return tint.scaled(strength).withAlpha(a);
    });
    const float m = n * 0.5f;
    c.fillPolygon({m, m - 24, m + 24, m, m, m + 24, m - 24, m}, tint.scaled(strength * 0.8f));
    c.fillRect(m - 14, m - 2.5f, m + 14, m + 2.5f, Color(0, 0, 0));
    // The pupil glows, and with it the spawn paths that sample the centre.
    c.fillRect(m - 2, m - 2, m + 2, m + 2, tint.scaled(strength));
    return c;
}

Canvas SceneTextures::towerSkin(const Color& hue)
{
    const int n = TowerModel::kSkinSize;
    Canvas c(n, n);
    const Color metal = Color::mix(Color(0.17f, 0.18f, 0.21f), hue, 0.12f);
    const Color white(1, 1, 1);
    auto px = [](float u) { return u * n; };
    c.shade([&](float x, float y) {
        float u = x / n, v = y / n;
        float mirrored = std::fabs(v - 0.5f);
        if (u < TowerModel::kAccentU1) {
            float core = 1.0f - std::fabs(x - px(TowerModel::kAccentU1) * 0.5f) / (px(TowerModel::kAccentU1) * 0.5f);
            return Color::mix(hue, white, 0.45f * core);
        }
        if (u < TowerModel::kPlinthU1) {
            float seam = std::fabs(mirrored - 0.2f) < 0.012f ? 1.0f : 0.0f;
            float panel = std::fmod(y, 32.0f) < 1.5f ? 0.65f : 1.0f;
            return Color::mix(metal.scaled(panel * (0.85f + 0.15f * hashNoise(int(x) / 3, int(y) / 3, 3))), hue, seam);
        }
        if (u < TowerModel::kColumnU1) {
            float centre = std::fabs(x - px(0.375f));
            float line = centre < 2.5f ? 1.0f : clamp01(std::exp(-(centre - 2.5f) / 2.5f)) * 0.6f;
            float rim = std::fabs(x - px(TowerModel::kColumnU0)) < 3 || std::fabs(x - px(TowerModel::kColumnU1)) < 3 ? 0.6f : 1.0f;
            return Color::mix(metal.scaled(rim * (0.9f - 0.3f * mirrored)), Color::mix(hue, white, 0.3f * (centre < 1.0f)), line);
        }
        if (u < TowerModel::kProngU1) {
            float across = (u - TowerModel::kProngU0) / (TowerModel::kProngU1 - TowerModel::kProngU0);
            float bevel = 0.7f + 0.3f * std::sin(across * 3.14159265f);
            float trim = std::fabs(mirrored - 0.25f) < 0.015f ? 1.0f : 0.0f;
            return Color::mix(metal.scaled(bevel * 1.1f), hue, trim);
        }
        // Crystal: bright, with streaky facets so the turning crystal sparkles.
        float across = (u - TowerModel::kCrystalU0) / (TowerModel::kCrystalU1 - TowerModel::kCrystalU0);
        float facet = 0.75f + 0.25f * std::sin(across * 37.0f) * std::sin(v * 9.0f + across * 5.0f);
        float glint = std::exp(-std::fabs(mirrored - 0.1f) * 12.0f) * 0.45f;
        return Color::mix(hue.scaled(facet), white, clamp01(glint + 0.15f));
    });
    return c;
}

Canvas SceneTextures::towerGlow()
{
    const int n = TowerModel::kSkinSize;
    Canvas c(n, n);
    const Color glow(0.75f, 0.9f, 1.0f);
    c.shade([&](float x, float y) {
        float u = x / n, v = y / n;
        float mirrored = std::fabs(v - 0.5f);
        if (u < TowerModel::kAccentU1)
            return glow;
        if (u < TowerModel::kPlinthU1)
            return glow.scaled(std::fabs(mirrored - 0.2f) < 0.012f ? 0.6f : 0.0f);
        if (u < TowerModel::kColumnU1)
            return glow.scaled(std::fabs(x - 0.375f * n) < 3.0f ? 0.7f : 0.0f);
        if (u < TowerModel::kProngU1)
            return glow.scaled(std::fabs(mirrored - 0.25f) < 0.015f ? 0.6f : 0.0f);
        return glow.scaled(0.8f);
    });
    return c;
}

Canvas SceneTextures::pad()
{
    const int n = 128;
    Canvas c(n, n);
    const Color teal(0.2f, 0.95f, 0.75f);
    c.shade([&](float x, float y) {
        float d = edgeDistance(x, y, n);
        float plate = (0.9f + 0.1f * hashNoise(int(x) / 2, int(y) / 2, 11));
        Color base = Color(0.03f, 0.09f, 0.08f).scaled(plate);
        float core = d < 2.5f ? 1.0f : 0.0f;
        float halo = clamp01(std::exp(-(d - 2.5f) / 4.0f) * 0.5f);
        return Color::mix(base, teal, std::max(core, halo));
    });
    c.ring(n * 0.5f, n * 0.5f, n * 0.28f, 2.0f, teal.scaled(0.5f));
    c.fillCircle(n * 0.5f, n * 0.5f, 4.0f, teal);
    return c;
}

Canvas SceneTextures::padGlow()
{
    const int n = 128;
    Canvas c(n, n);
    c.shade([&](float x, float y) {
        float d = edgeDistance(x, y, n);
        float a = d < 3.0f ? 1.0f : clamp01(std::exp(-(d - 3.0f) / 3.0f));
        return Color(0.15f, 0.7f, 0.55f).withAlpha(a);
    });
    return c;
}

Canvas SceneTextures::marker()
{
    const int n = 128;
    Canvas c(n, n, Color(0.03f, 0.05f, 0.09f));
    const Color amber(1.0f, 0.78f, 0.2f);
    c.ring(n * 0.5f, n * 0.5f, n * 0.36f, 3.0f, amber.scaled(0.8f));
    c.ring(n * 0.5f, n * 0.5f, n * 0.26f, 1.5f, amber.scaled(0.45f));
    const float L = 30, W = 6, e = 3;
    const float corners[4][2] = {{e, e}, {n - e, e}, {n - e, n - e}, {e, n - e}};
    for (const auto& k : corners) {
        float sx = k[0] < n / 2 ? 1.0f : -1.0f, sy = k[1] < n / 2 ? 1.0f : -1.0f;
        c.fillRect(std::min(k[0], k[0] + sx * L), std::min(k[1], k[1] + sy * W), std::max(k[0], k[0] + sx * L),
                   std::max(k[1], k[1] + sy * W), amber);
        c.fillRect(std::min(k[0], k[0] + sx * W), std::min(k[1], k[1] + sy * L), std::max(k[0], k[0] + sx * W),
                   std::max(k[1], k[1] + sy * L), amber);
    }
    for (int k = 0; k < 4; ++k) {
        float a = k * 3.14159265f * 0.5f;
        float cx = n * 0.5f + std::cos(a) * n * 0.36f, cy = n * 0.5f + std::sin(a) * n * 0.36f;
        c.fillCircle(cx, cy, 4.5f, Color(1.0f, 0.95f, 0.7f));
    }
    return c;
}
