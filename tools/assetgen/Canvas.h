// RGBA float image with anti-aliased shape painting, masks for halos and TGA or PNG output through
// stb_image_write.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct Color {
    float r = 0, g = 0, b = 0, a = 1;
    Color() = default;
    Color(float r_, float g_, float b_, float a_ = 1.0f) : r(r_), g(g_), b(b_), a(a_) {}
    static Color rgb(int r, int g, int b, float a = 1.0f) { return Color(r / 255.0f, g / 255.0f, b / 255.0f, a); }
    Color scaled(float k) const { return Color(r * k, g * k, b * k, a); }
    Color withAlpha(float alpha) const { return Color(r, g, b, alpha); }
    static Color mix(const Color& x, const Color& y, float t)
    {
        return Color(x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t);
    }
};

// Single-channel coverage map: text and shapes are drawn into it, blurred for halos, then composited.
class Mask {
public:
    Mask(int w, int h);
    int width() const { return w_; }
    int height() const { return h_; }
    float& at(int x, int y) { return v_[static_cast<size_t>(y) * w_ + x]; }
    float at(int x, int y) const { return v_[static_cast<size_t>(y) * w_ + x]; }
    void addMax(int x, int y, float c);
    // inside(x, y) is sampled 4x4 times per pixel of the box for anti-aliased edges.
    void paint(float x0, float y0, float x1, float y1, const std::function<bool(float, float)>& inside);
    Mask blurred(int radius) const;

private:
    int w_, h_;
    std::vector<float> v_;
};

class Canvas {
public:
    Canvas(int w, int h, Color background = Color(0, 0, 0, 1));
    int width() const { return w_; }
    int height() const { return h_; }
    Color& at(int x, int y) { return px_[static_cast<size_t>(y) * w_ + x]; }
    const Color& at(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }

    void blend(int x, int y, const Color& c, float coverage);
    void add(int x, int y, const Color& c, float amount);

    // Per-pixel painter: f(x, y) is called with pixel centres and returns the colour to composite over.
    void shade(const std::function<Color(float, float)>& f);

    void fillRect(float x0, float y0, float x1, float y1, const Color& c);
    void strokeRect(float x0, float y0, float x1, float y1, float width, const Color& c);
    void fillRoundRect(float x0, float y0, float x1, float y1, float radius, const Color& c);
    void strokeRoundRect(float x0, float y0, float x1, float y1, float radius, float width, const Color& c);
    void line(float x0, float y0, float x1, float y1, float width, const Color& c);
    void fillPolygon(const std::vector<float>& xy, const Color& c);
    void fillCircle(float cx, float cy, float r, const Color& c);
    void ring(float cx, float cy, float r, float width, const Color& c);

    // Composites a mask placed with its top-left at (ox, oy).
    void composite(const Mask& m, int ox, int oy, const Color& c, bool additive = false);

    // Raw 8-bit pixels, rows from the top, 3 (RGB) or 4 (RGBA) channels.
    std::vector<unsigned char> bytes(int channels) const;
    bool saveTga(const std::string& path, int channels) const;
    bool savePng(const std::string& path) const;

private:
    void paintCoverage(float x0, float y0, float x1, float y1, const std::function<bool(float, float)>& inside, const Color& c);

    int w_, h_;
    std::vector<Color> px_;
};

float clamp01(float v);
float smoothstepf(float e0, float e1, float x);
