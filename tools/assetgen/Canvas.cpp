// Anti-aliasing is plain 4x4 supersampling: images are small and this keeps every shape exact and deterministic.
#include "Canvas.h"

#include <algorithm>
#include <cmath>

#include <stb_image_write.h>

float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

float smoothstepf(float e0, float e1, float x)
{
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

namespace {

constexpr int kSub = 4;

float coverageAt(int px, int py, const std::function<bool(float, float)>& inside)
{
    int hits = 0;
    for (int sy = 0; sy < kSub; ++sy)
        for (int sx = 0; sx < kSub; ++sx)
            if (inside(px + (sx + 0.5f) / kSub, py + (sy + 0.5f) / kSub))
                ++hits;
    return hits / float(kSub * kSub);
}

float segmentDistance(float px, float py, float x0, float y0, float x1, float y1)
{
    float dx = x1 - x0, dy = y1 - y0;
    float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? ((px - x0) * dx + (py - y0) * dy) / len2 : 0;
    t = std::max(0.0f, std::min(1.0f, t));
    float ex = x0 + t * dx - px, ey = y0 + t * dy - py;
    return std::sqrt(ex * ex + ey * ey);
}

bool insideRoundRect(float x, float y, float x0, float y0, float x1, float y1, float r)
{
    if (x < x0 || x > x1 || y < y0 || y > y1)
        return false;
    float cx = std::min(std::max(x, x0 + r), x1 - r);
    float cy = std::min(std::max(y, y0 + r), y1 - r);
    float dx = x - cx, dy = y - cy;
    return dx * dx + dy * dy <= r * r;
}

bool insidePolygon(const std::vector<float>& xy, float x, float y)
{
    bool in = false;
    size_t n = xy.size() / 2;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        float xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
        if (((yi > y) != (yj > y)) && (x < (xj - xi) * (y - yi) / (yj - yi) + xi))
            in = !in;
    }
    return in;
}

} // namespace

Mask::Mask(int w, int h) : w_(w), h_(h), v_(static_cast<size_t>(w) * h, 0.0f) {}

void Mask::addMax(int x, int y, float c)
{
    if (x < 0 || y < 0 || x >= w_ || y >= h_)
        return;
    float& v = at(x, y);
    v = std::max(v, c);
}

void Mask::paint(float x0, float y0, float x1, float y1, const std::function<bool(float, float)>& inside)
{
    int ix0 = std::max(0, int(std::floor(x0))), iy0 = std::max(0, int(std::floor(y0)));
    int ix1 = std::min(w_ - 1, int(std::ceil(x1))), iy1 = std::min(h_ - 1, int(std::ceil(y1)));
    for (int y = iy0; y <= iy1; ++y)
        for (int x = ix0; x <= ix1; ++x)
            addMax(x, y, coverageAt(x, y, inside));
}

Mask Mask::blurred(int radius) const
{
    // Two passes of a separable triangle-ish kernel approximate a soft gaussian halo.
    Mask tmp(w_, h_), out(w_, h_);
    std::vector<float> k(2 * radius + 1);
    float sum = 0;
    for (int i = -radius; i <= radius; ++i) {
        k[i + radius] = float(radius + 1 - std::abs(i));
        sum += k[i + radius];
    }
    for (float& v : k)
        v /= sum;
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            float acc = 0;
            for (int i = -radius; i <= radius; ++i) {
                int sx = x + i;
                if (sx >= 0 && sx < w_)
                    acc += at(sx, y) * k[i + radius];
            }
            tmp.at(x, y) = acc;
        }
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            float acc = 0;
            for (int i = -radius; i <= radius; ++i) {
                int sy = y + i;
                if (sy >= 0 && sy < h_)
                    acc += tmp.at(x, sy) * k[i + radius];
            }
            out.at(x, y) = acc;
        }
    return out;
}

Canvas::Canvas(int w, int h, Color background) : w_(w), h_(h), px_(static_cast<size_t>(w) * h, background) {}

void Canvas::blend(int x, int y, const Color& c, float coverage)
{
    if (x < 0 || y < 0 || x >= w_ || y >= h_)
        return;
    float a = clamp01(c.a * coverage);
    Color& d = at(x, y);
    d.r = d.r + (c.r - d.r) * a;
    d.g = d.g + (c.g - d.g) * a;
    d.b = d.b + (c.b - d.b) * a;
    d.a = d.a + (1.0f - d.a) * a;
}

void Canvas::add(int x, int y, const Color& c, float amount)
{
    if (x < 0 || y < 0 || x >= w_ || y >= h_)
        return;
    Color& d = at(x, y);
    d.r += c.r * amount;
    d.g += c.g * amount;
    d.b += c.b * amount;
}

void Canvas::shade(const std::function<Color(float, float)>& f)
{
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            Color c = f(x + 0.5f, y + 0.5f);
            blend(x, y, c, 1.0f);
        }
}

void Canvas::paintCoverage(float x0, float y0, float x1, float y1, const std::function<bool(float, float)>& inside, const Color& c)
{
    int ix0 = std::max(0, int(std::floor(x0)) - 1), iy0 = std::max(0, int(std::floor(y0)) - 1);
    int ix1 = std::min(w_ - 1, int(std::ceil(x1)) + 1), iy1 = std::min(h_ - 1, int(std::ceil(y1)) + 1);
    for (int y = iy0; y <= iy1; ++y)
        for (int x = ix0; x <= ix1; ++x) {
            float cov = coverageAt(x, y, inside);
            if (cov > 0)
                blend(x, y, c, cov);
        }
}

void Canvas::fillRect(float x0, float y0, float x1, float y1, const Color& c)
{
    paintCoverage(x0, y0, x1, y1, [=](float x, float y) { return x >= x0 && x < x1 && y >= y0 && y < y1; }, c);
}

void Canvas::strokeRect(float x0, float y0, float x1, float y1, float w, const Color& c)
{
    paintCoverage(x0, y0, x1, y1, [=](float x, float y) {
        bool outer = x >= x0 && x < x1 && y >= y0 && y < y1;
        bool inner = x >= x0 + w && x < x1 - w && y >= y0 + w && y < y1 - w;
        return outer && !inner;
    }, c);
}

void Canvas::fillRoundRect(float x0, float y0, float x1, float y1, float r, const Color& c)
{
    paintCoverage(x0, y0, x1, y1, [=](float x, float y) { return insideRoundRect(x, y, x0, y0, x1, y1, r); }, c);
}

void Canvas::strokeRoundRect(float x0, float y0, float x1, float y1, float r, float w, const Color& c)
{
    float ri = std::max(0.0f, r - w);
    paintCoverage(x0, y0, x1, y1, [=](float x, float y) {
        return insideRoundRect(x, y, x0, y0, x1, y1, r) && !insideRoundRect(x, y, x0 + w, y0 + w, x1 - w, y1 - w, ri);
    }, c);
}

void Canvas::line(float x0, float y0, float x1, float y1, float width, const Color& c)
{
    float h = width * 0.5f;
    paintCoverage(std::min(x0, x1) - h, std::min(y0, y1) - h, std::max(x0, x1) + h, std::max(y0, y1) + h,
                  [=](float x, float y) { return segmentDistance(x, y, x0, y0, x1, y1) <= h; }, c);
}

void Canvas::fillPolygon(const std::vector<float>& xy, const Color& c)
{
    float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
    for (size_t i = 0; i + 1 < xy.size(); i += 2) {
        minX = std::min(minX, xy[i]);
        maxX = std::max(maxX, xy[i]);
        minY = std::min(minY, xy[i + 1]);
        maxY = std::max(maxY, xy[i + 1]);
    }
    paintCoverage(minX, minY, maxX, maxY, [&xy](float x, float y) { return insidePolygon(xy, x, y); }, c);
}

void Canvas::fillCircle(float cx, float cy, float r, const Color& c)
{
    paintCoverage(cx - r, cy - r, cx + r, cy + r,
                  [=](float x, float y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; }, c);
}

void Canvas::ring(float cx, float cy, float r, float width, const Color& c)
{
    float ro = r + width * 0.5f, ri = r - width * 0.5f;
    paintCoverage(cx - ro, cy - ro, cx + ro, cy + ro, [=](float x, float y) {
        float d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        return d2 <= ro * ro && d2 >= ri * ri;
    }, c);
}

void Canvas::composite(const Mask& m, int ox, int oy, const Color& c, bool additive)
{
    for (int y = 0; y < m.height(); ++y)
        for (int x = 0; x < m.width(); ++x) {
            float v = m.at(x, y);
            if (v <= 0)
                continue;
            if (additive)
                add(ox + x, oy + y, c, v * c.a);
            else
                blend(ox + x, oy + y, c, v);
        }
}

std::vector<unsigned char> Canvas::bytes(int channels) const
{
    std::vector<unsigned char> out(static_cast<size_t>(w_) * h_ * channels);
    for (size_t i = 0; i < px_.size(); ++i) {
        const Color& c = px_[i];
        float v[4] = {c.r, c.g, c.b, c.a};
        for (int k = 0; k < channels; ++k)
            out[i * channels + k] = static_cast<unsigned char>(std::lround(clamp01(v[k]) * 255.0f));
    }
    return out;
}

bool Canvas::saveTga(const std::string& path, int channels) const
{
    std::vector<unsigned char> data = bytes(channels);
    return stbi_write_tga(path.c_str(), w_, h_, channels, data.data()) != 0;
}

bool Canvas::savePng(const std::string& path) const
{
    std::vector<unsigned char> data = bytes(4);
    return stbi_write_png(path.c_str(), w_, h_, 4, data.data(), 4 * w_) != 0;
}
