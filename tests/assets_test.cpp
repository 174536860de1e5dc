// Checks the generated asset set in the run directory: images, bitmap font, tower model, tunes and effects,
// and that the generator reproduces it byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <libopenmpt/libopenmpt.hpp>
#include <sndfile.h>
#include <stb_image.h>

#include "hud/BitmapFont.h"
#include "scene/Md2Model.h"
#include "scene/Md2Normals.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> readAll(const fs::path& p)
{
    std::ifstream f(p, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

struct Image {
    int w = 0, h = 0, n = 0;
    std::vector<uint8_t> px;
    const uint8_t* at(int x, int y) const { return &px[(size_t(y) * w + x) * n]; }
};

Image load(const std::string& name)
{
    Image img;
    unsigned char* data = stbi_load(name.c_str(), &img.w, &img.h, &img.n, 0);
    if (data) {
        img.px.assign(data, data + size_t(img.w) * img.h * img.n);
        stbi_image_free(data);
    }
    return img;
}

bool powerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

std::array<double, 3> meanColour(const Image& img)
{
    std::array<double, 3> m{0, 0, 0};
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x)
            for (int k = 0; k < 3; ++k)
                m[k] += img.at(x, y)[k];
    for (double& v : m)
        v /= double(img.w) * img.h;
    return m;
}

double colourDistance(const std::array<double, 3>& a, const std::array<double, 3>& b)
{
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

struct Expected {
    const char* name;
    int w, h, channels;
    bool scene;
};

const Expected kImages[] = {
    {"quads.tga", 256, 256, 3, true},        {"quads_glow.tga", 256, 256, 3, true},
    {"e_quads.tga", 128, 128, 3, true},      {"e_quads_glow.tga", 128, 128, 3, true},
    {"t_quads.tga", 128, 128, 3, true},      {"t_quads_glow.tga", 128, 128, 3, true},
    {"arial_0.tga", 256, 256, 4, true},      {"arial_0_glow.tga", 256, 256, 4, true},
    {"tris.tga", 256, 256, 3, true},         {"tris_glow.tga", 256, 256, 3, true},
    {"tris_bl.tga", 256, 256, 3, true},      {"tris_gr.tga", 256, 256, 3, true},
    {"e_quads_or.tga", 128, 128, 3, true},   {"e_quads_yl.tga", 128, 128, 3, true},
    {"e_quads_wh.tga", 128, 128, 3, true},   {"e_quads_wh_glow.tga", 128, 128, 3, true},
    {"markUp.tga", 128, 128, 3, true},
    // HUD pictures at the pixel sizes the HUD draws them.
    {"SelectionMode.tga", 100, 100, 4, false}, {"SelectionTool.tga", 100, 100, 4, false},
    {"Towers.tga", 300, 100, 4, false},        {"SuperGlow.tga", 100, 100, 4, false},
    {"selected.tga", 344, 77, 4, false},       {"sel_standard.tga", 63, 77, 4, false},
    {"sel_sniper.tga", 63, 77, 4, false},      {"sel_power.tga", 63, 77, 4, false},
};

} // namespace

TEST(Assets, EveryImageDecodesWithItsSizeAndChannels)
{
    for (const Expected& e : kImages) {
        SCOPED_TRACE(e.name);
        Image img = load(e.name);
        ASSERT_FALSE(img.px.empty()) << stbi_failure_reason();
        EXPECT_EQ(img.w, e.w);
        EXPECT_EQ(img.h, e.h);
        EXPECT_EQ(img.n, e.channels);
        if (e.scene) {
            EXPECT_TRUE(powerOfTwo(img.w) && powerOfTwo(img.h));
        } else {
            // HUD quads are drawn without blending, so the pictures must be fully opaque.
            for (int y = 0; y < img.h; ++y)
                for (int x = 0; x < img.w; ++x)
                    ASSERT_EQ(img.at(x, y)[3], 255) << x << "," << y;
        }
    }
}

TEST(Assets, GlowImagesLightOnlyWhatShouldGlow)
{
    // The font's glow page stands in for every HUD picture and the tower marker in the glow pass: it is black.
    Image fontGlow = load("arial_0_glow.tga");
    ASSERT_FALSE(fontGlow.px.empty());
    int brightest = 0;
    for (size_t i = 0; i < fontGlow.px.size(); i += 4)
        brightest = std::max({brightest, int(fontGlow.px[i]), int(fontGlow.px[i + 1]), int(fontGlow.px[i + 2])});
    EXPECT_EQ(brightest, 0);

    // Board and enemy glow: bright cell edges, dark interior away from the core.
    for (const char* name : {"quads_glow.tga", "e_quads_glow.tga", "e_quads_wh_glow.tga", "t_quads_glow.tga"}) {
        SCOPED_TRACE(name);
        Image g = load(name);
        ASSERT_FALSE(g.px.empty());
        const uint8_t* edge = g.at(1, g.h / 2);
        const uint8_t* inside = g.at(g.w / 4, g.h / 4);
        EXPECT_GT(std::max({edge[0], edge[1], edge[2]}), 120);
        EXPECT_LT(std::max({inside[0], inside[1], inside[2]}), 10);
    }

    // The main board tile has the same bright edge as its glow twin.
    Image board = load("quads.tga");
    ASSERT_FALSE(board.px.empty());
    const uint8_t* edge = board.at(1, 128);
    const uint8_t* centre = board.at(128, 100);
    EXPECT_GT(edge[1] + edge[2], 2 * (centre[1] + centre[2]) + 200);
}

TEST(Assets, EnemyKindsAndTowerSkinsAreToldApartByColour)
{
    const char* enemies[] = {"e_quads.tga", "e_quads_or.tga", "e_quads_yl.tga", "e_quads_wh.tga"};
    const char* towers[] = {"tris.tga", "tris_gr.tga", "tris_bl.tga"};
    for (const auto& group : {std::vector<const char*>(std::begin(enemies), std::end(enemies)),
                              std::vector<const char*>(std::begin(towers), std::end(towers))}) {
        std::vector<std::array<double, 3>> means;
        for (const char* name : group) {
            Image img = load(name);
            ASSERT_FALSE(img.px.empty()) << name;
            means.push_back(meanColour(img));
        }
        for (size_t i = 0; i < means.size(); ++i)
            for (size_t j = i + 1; j < means.size(); ++j)
                EXPECT_GT(colourDistance(means[i], means[j]), 12.0) << group[i] << " vs " << group[j];
    }
}

TEST(Assets, FontDescribesEveryPrintableCharacterOnItsPage)
{
    std::ifstream f("arial.fnt");
    ASSERT_TRUE(f.good());
    Image page = load("arial_0.tga");
    ASSERT_FALSE(page.px.empty());

    std::map<int, std::map<std::string, int>> glyphs;
    std::map<std::string, int> common;
    std::string pageFile;
    std::string line;
    bool negativeOffset = false;
    while (std::getline(f, line)) {
        std::istringstream ls(line);
        std::string tag, word;
        ls >> tag;
        // Only the line types a reader needs; "info" carries quoted strings with blanks.
        if (tag != "common" && tag != "char" && tag != "page")
            continue;
        std::map<std::string, int> values;
        while (ls >> word) {
            size_t eq = word.find('=');
            ASSERT_NE(eq, std::string::npos) << line;
            std::string key = word.substr(0, eq), value = word.substr(eq + 1);
            if (tag == "page" && key == "file")
                pageFile = value;
            if (!value.empty() && value[0] != '"' && value.find(',') == std::string::npos)
                values[key] = std::stoi(value);
        }
        if (tag == "common")
            common = values;
        if (tag == "char") {
            ASSERT_TRUE(values.count("id")) << line;
            glyphs[values["id"]] = values;
            negativeOffset = negativeOffset || values["xoffset"] < 0;
        }
    }
    EXPECT_EQ(pageFile, "\"arial_0.tga\"");
    EXPECT_EQ(common["scaleW"], page.w);
    EXPECT_EQ(common["scaleH"], page.h);
    EXPECT_EQ(common["pages"], 1);
    EXPECT_GE(common["lineHeight"], 20);
    EXPECT_LE(common["lineHeight"], 30);
    EXPECT_TRUE(negativeOffset) << "FreeType gives some glyphs a negative left bearing; they must stay negative";

    for (int code = 32; code <= 126; ++code) {
        SCOPED_TRACE(code);
        ASSERT_TRUE(glyphs.count(code));
        auto& g = glyphs[code];
        EXPECT_GT(g["xadvance"], 0);
        EXPECT_EQ(g["page"], 0);
        ASSERT_LE(g["x"] + g["width"], page.w);
        ASSERT_LE(g["y"] + g["height"], page.h);
        if (code == ' ')
            continue;
        int ink = 0;
        for (int y = g["y"]; y < g["y"] + g["height"]; ++y)
            for (int x = g["x"]; x < g["x"] + g["width"]; ++x)
                ink += page.at(x, y)[3];
        EXPECT_GT(ink, 0) << "glyph rectangle is empty on the page";
    }
}

namespace {

struct Md2 {
    int32_t h[17];
    std::vector<uint8_t> bytes;
    int32_t field(int i) const { return h[i]; }
    glm::vec3 vertex(int frame, int v) const
    {
        const uint8_t* f = &bytes[size_t(h[14]) + size_t(frame) * h[4]];
        float scale[3], translate[3];
        std::memcpy(scale, f, 12);
        std::memcpy(translate, f + 12, 12);
        const uint8_t* p = f + 40 + 4 * v;
        return glm::vec3(p[0] * scale[0] + translate[0], p[1] * scale[1] + translate[1], p[2] * scale[2] + translate[2]);
    }
    int normalIndex(int frame, int v) const { return bytes[size_t(h[14]) + size_t(frame) * h[4] + 40 + 4 * v + 3]; }
};

enum { Ident, Version, SkinW, SkinH, FrameSize, NumSkins, NumXyz, NumSt, NumTris, NumGlCmds, NumFrames,
       OfsSkins, OfsSt, OfsTris, OfsFrames, OfsGlCmds, OfsEnd };

// The tower's placement: scale 0.08 on the model, then translate(x, 0.5, z) * translate(0, 1, 0) *
// rotate(-90 deg about x) * rotate(-90 deg about z), here at the origin.
glm::mat4 towerMatrix()
{
    glm::mat4 m = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.5f, 0.0f));
    m = glm::translate(m, glm::vec3(0.0f, 1.0f, 0.0f));
    m = glm::rotate(m, glm::radians(-90.0f), glm::vec3(1.0f, 0.0f, 0.0f));
    m = glm::rotate(m, glm::radians(-90.0f), glm::vec3(0.0f, 0.0f, 1.0f));
    return m;
}

} // namespace

TEST(Assets, TowerModelIsAConsistentMd2)
{
    Md2 md;
    md.bytes = readAll("models/tris.md2");
    ASSERT_GE(md.bytes.size(), 68u);
    std::memcpy(md.h, md.bytes.data(), 68);
    EXPECT_EQ(std::memcmp(md.bytes.data(), "IDP2", 4), 0);
    EXPECT_EQ(md.field(Version), 8);
    EXPECT_EQ(md.field(OfsEnd), int32_t(md.bytes.size()));
    EXPECT_GE(md.field(NumFrames), 40);
    EXPECT_GT(md.field(NumXyz), 0);
    EXPECT_LE(md.field(NumXyz), 4096);
    EXPECT_EQ(md.field(FrameSize), 40 + 4 * md.field(NumXyz));
    EXPECT_TRUE(powerOfTwo(md.field(SkinW)) && powerOfTwo(md.field(SkinH)));
    struct Section {
        int ofs;
        int64_t size;
    };
    const Section sections[] = {{md.field(OfsSkins), 64LL * md.field(NumSkins)},
                                {md.field(OfsSt), 4LL * md.field(NumSt)},
                                {md.field(OfsTris), 12LL * md.field(NumTris)},
                                {md.field(OfsFrames), int64_t(md.field(FrameSize)) * md.field(NumFrames)},
                                {md.field(OfsGlCmds), 4LL * md.field(NumGlCmds)}};
    for (const Section& s : sections) {
        EXPECT_GE(s.ofs, 68);
        ASSERT_LE(s.ofs + s.size, int64_t(md.bytes.size()));
    }
    ASSERT_FALSE(::testing::Test::HasFailure());

    const int numXyz = md.field(NumXyz);
    for (int i = 0; i < md.field(NumSt); ++i) {
        int16_t st[2];
        std::memcpy(st, &md.bytes[size_t(md.field(OfsSt)) + 4 * i], 4);
        EXPECT_TRUE(st[0] >= 0 && st[0] <= md.field(SkinW) && st[1] >= 0 && st[1] <= md.field(SkinH));
    }
    for (int i = 0; i < md.field(NumTris); ++i) {
        int16_t t[6];
        std::memcpy(t, &md.bytes[size_t(md.field(OfsTris)) + 12 * i], 12);
        for (int k = 0; k < 3; ++k) {
            EXPECT_TRUE(t[k] >= 0 && t[k] < numXyz);
            EXPECT_TRUE(t[3 + k] >= 0 && t[3 + k] < md.field(NumSt));
        }
    }
    for (int f = 0; f < md.field(NumFrames); ++f)
        for (int v = 0; v < numXyz; ++v)
            ASSERT_LT(md.normalIndex(f, v), kMd2NormalCount);

    // Walk the GL commands: strips and fans of (s, t, index) packets, ending with a 0 at the last word.
    std::vector<int32_t> cmds(size_t(md.field(NumGlCmds)));
    std::memcpy(cmds.data(), &md.bytes[size_t(md.field(OfsGlCmds))], cmds.size() * 4);
    size_t pos = 0;
    int expanded = 0, commands = 0, triangles = 0, clockwise = 0;
    bool ended = false;
    while (pos < cmds.size()) {
        int32_t n = cmds[pos++];
        if (n == 0) {
            ended = true;
            break;
        }
        bool fan = n < 0;
        int count = std::abs(n);
        ASSERT_GE(count, 3);
        ASSERT_LE(pos + size_t(count) * 3, cmds.size());
        std::vector<int> idx;
        for (int k = 0; k < count; ++k) {
            float s, t;
            std::memcpy(&s, &cmds[pos], 4);
            std::memcpy(&t, &cmds[pos + 1], 4);
            int32_t v = cmds[pos + 2];
            pos += 3;
            EXPECT_TRUE(s >= 0.0f && s <= 1.0f && t >= 0.0f && t <= 1.0f);
            ASSERT_TRUE(v >= 0 && v < numXyz);
            idx.push_back(v);
        }
        // The game culls with clockwise front faces; check every triangle against its vertex normals.
        for (int k = 0; k + 2 < count; ++k) {
            int a = fan ? idx[0] : idx[k], b = fan ? idx[k + 1] : idx[k + 1], c = fan ? idx[k + 2] : idx[k + 2];
            if (!fan && k % 2 == 1)
                std::swap(a, b);
            glm::vec3 pa = md.vertex(0, a), pb = md.vertex(0, b), pc = md.vertex(0, c);
            glm::vec3 face = glm::cross(pb - pa, pc - pa);
            glm::vec3 n0(0.0f);
            for (int v : {a, b, c}) {
                int ni = md.normalIndex(0, v);
                n0 += glm::vec3(kMd2Normals[ni][0], kMd2Normals[ni][1], kMd2Normals[ni][2]);
            }
            ++triangles;
            if (glm::dot(face, n0) < 0.0f)
                ++clockwise;
        }
        expanded += count;
        ++commands;
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(pos, cmds.size());
    EXPECT_GT(commands, 0);
    EXPECT_LE(expanded, 4096);
    EXPECT_EQ(clockwise, triangles) << "triangles must be clockwise seen from outside";

    // Placed as a tower: about 4 units tall, feet on the board, inside the 4.4 x 4.0 marker around its box centre.
    const glm::mat4 m = towerMatrix();
    glm::vec3 lo0(1e9f), hi0(-1e9f);
    for (int v = 0; v < numXyz; ++v) {
        glm::vec3 p = md.vertex(0, v) * 0.08f;
        lo0 = glm::min(lo0, p);
        hi0 = glm::max(hi0, p);
    }
    const glm::vec4 centre = m * glm::vec4((hi0 + lo0) * 0.5f, 1.0f);
    float maxStep = 0.0f, loopStep = 0.0f, farthest = 0.0f;
    for (int f = 0; f < md.field(NumFrames); ++f) {
        glm::vec3 lo(1e9f), hi(-1e9f);
        for (int v = 0; v < numXyz; ++v) {
            glm::vec3 w = glm::vec3(m * glm::vec4(md.vertex(f, v) * 0.08f, 1.0f));
            lo = glm::min(lo, w);
            hi = glm::max(hi, w);
            if (f < 40) {
                float step = glm::distance(md.vertex(f, v), md.vertex((f + 1) % 40, v)) * 0.08f;
                if (f == 39)
                    loopStep = std::max(loopStep, step);
                else
                    maxStep = std::max(maxStep, step);
                farthest = std::max(farthest, glm::distance(md.vertex(0, v), md.vertex(f, v)) * 0.08f);
            }
        }
        SCOPED_TRACE(f);
        EXPECT_NEAR(lo.y, 0.0f, 0.15f);
        EXPECT_GT(hi.y - lo.y, 3.5f);
        EXPECT_LT(hi.y - lo.y, 4.5f);
        EXPECT_LE(std::max(hi.x - centre.x, centre.x - lo.x), 2.2f);
        EXPECT_LE(std::max(hi.z - centre.z, centre.z - lo.z), 2.0f);
    }
    EXPECT_GT(farthest, 0.5f) << "animation 0 should visibly move";
    EXPECT_GT(loopStep, 0.0f);
    EXPECT_LE(loopStep, maxStep * 1.05f) << "frame 39 must flow into frame 0 like any other step";
}

TEST(Assets, GameReadersAcceptTheFontAndTheModel)
{
    std::ifstream in("arial.fnt");
    BitmapFont font;
    ASSERT_TRUE(loadFont(in, font));
    EXPECT_EQ(font.scaleW, 256);
    EXPECT_EQ(font.scaleH, 256);
    for (int code = 32; code <= 126; ++code)
        EXPECT_GT(font.chars[code].xadvance, 0) << code;
    EXPECT_LT(int16_t(font.chars[int('j')].xoffset), 0) << "j hangs left of the pen";

    Md2Model model;
    ASSERT_TRUE(loadMd2(model));
    EXPECT_GE(model.numFrames, 40);
    EXPECT_LE(model.numFrameVertices, kMd2ScratchSize);
    model.scale = 0.08f;
    std::vector<glm::vec3> blended(size_t(model.numFrameVertices));
    blendFrames(model, 0.5f, 39, 0, blended.data());
    float top = -1e9f, bottom = 1e9f;
    for (const glm::vec3& p : blended) {
        top = std::max(top, p.z);
        bottom = std::min(bottom, p.z);
    }
    // Model z becomes world height above 1.5 once the tower stands the figure up.
    EXPECT_NEAR(1.5f + bottom, 0.0f, 0.15f);
    EXPECT_NEAR(top - bottom, 4.0f, 0.5f);
}

namespace {

struct Rendered {
    double duration = 0;
    float peak = 0;
    double rms = 0;
    int channels = 0;
    std::string type;
};

Rendered renderModule(const std::string& path)
{
    Rendered r;
    std::ifstream f(path, std::ios::binary);
    std::ostringstream log;
    openmpt::module mod(f, log);
    r.duration = mod.get_duration_seconds();
    r.channels = mod.get_num_channels();
    r.type = mod.get_metadata("type");
    const int rate = 44100;
    std::vector<float> left(4096), right(4096);
    double sum = 0;
    size_t frames = 0;
    for (;;) {
        size_t n = mod.read(rate, left.size(), left.data(), right.data());
        if (n == 0)
            break;
        for (size_t i = 0; i < n; ++i) {
            r.peak = std::max({r.peak, std::fabs(left[i]), std::fabs(right[i])});
            sum += double(left[i]) * left[i] + double(right[i]) * right[i];
        }
        frames += n;
    }
    r.rms = frames ? std::sqrt(sum / (2.0 * frames)) : 0.0;
    return r;
}

} // namespace

TEST(Assets, ModulesPlayForTheirLengthNeitherSilentNorClipping)
{
    struct Case {
        const char* path;
        const char* type;
        double minSeconds, maxSeconds;
        int minChannels;
    };
    const Case cases[] = {{"sound/bricks.xm", "xm", 30.0, 90.0, 4},
                          {"sound/victory_.xm", "xm", 2.0, 8.0, 3},
                          {"sound/game_over.mod", "mod", 3.0, 10.0, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        Rendered r = renderModule(c.path);
        std::cout << c.path << ": " << r.duration << " s, " << r.channels << " channels, peak " << r.peak
                  << ", rms " << r.rms << std::endl;
        EXPECT_EQ(r.type, c.type);
        EXPECT_GE(r.duration, c.minSeconds);
        EXPECT_LE(r.duration, c.maxSeconds);
        EXPECT_GE(r.channels, c.minChannels);
        EXPECT_LT(r.peak, 0.99f) << "clipping";
        EXPECT_GT(r.rms, 0.03) << "too quiet";
    }
}

TEST(Assets, BackgroundTuneHasBassMelodyAndDrumsThatRepeat)
{
    std::ifstream f("sound/bricks.xm", std::ios::binary);
    std::ostringstream log;
    openmpt::module mod(f, log);
    ASSERT_GE(mod.get_num_instruments(), 5);
    // Per pattern, which instruments play and the bass channel's notes.
    std::vector<std::vector<int>> bassLines;
    for (int p = 0; p < mod.get_num_patterns(); ++p) {
        std::vector<int> used(mod.get_num_instruments() + 1, 0), bass;
        for (int row = 0; row < mod.get_pattern_num_rows(p); ++row)
            for (int ch = 0; ch < mod.get_num_channels(); ++ch) {
                int ins = mod.get_pattern_row_channel_command(p, row, ch, openmpt::module::command_instrument);
                if (ins > 0 && ins < int(used.size()))
                    used[size_t(ins)]++;
                if (ch == 0)
                    bass.push_back(mod.get_pattern_row_channel_command(p, row, ch, openmpt::module::command_note));
            }
        bassLines.push_back(bass);
        EXPECT_GE(std::count_if(used.begin(), used.end(), [](int n) { return n > 0; }), 4) << "pattern " << p;
    }
    ASSERT_GE(bassLines.size(), 2u);
    for (size_t p = 1; p < bassLines.size(); ++p)
        EXPECT_EQ(bassLines[p], bassLines[0]) << "the bass line repeats in every pattern";
    std::set<int> patternsInOrder;
    for (int o = 0; o < mod.get_num_orders(); ++o)
        patternsInOrder.insert(mod.get_order_pattern(o));
    EXPECT_LT(int(patternsInOrder.size()), mod.get_num_orders()) << "sections come back";
}

TEST(Assets, EffectsDecodeWithTheirLength)
{
    struct Case {
        const char* path;
        double minSeconds, maxSeconds;
    };
    for (const Case& c : {Case{"sound/Laser sound 1.mp3", 0.25, 0.45}, Case{"sound/teleport_activate.mp3", 1.0, 2.0}}) {
        SCOPED_TRACE(c.path);
        SF_INFO info{};
        SNDFILE* sf = sf_open(c.path, SFM_READ, &info);
        ASSERT_NE(sf, nullptr) << sf_strerror(nullptr);
        double seconds = double(info.frames) / info.samplerate;
        EXPECT_GE(seconds, c.minSeconds);
        EXPECT_LE(seconds, c.maxSeconds);
        std::vector<float> pcm(size_t(info.frames) * info.channels);
        sf_count_t got = sf_readf_float(sf, pcm.data(), info.frames);
        sf_close(sf);
        EXPECT_GT(got, info.frames * 9 / 10);
        float peak = 0;
        for (float v : pcm)
            peak = std::max(peak, std::fabs(v));
        EXPECT_GT(peak, 0.3f);
        EXPECT_LT(peak, 0.99f);
    }
}

TEST(Assets, GeneratorIsDeterministicAndMatchesTheRunDirectory)
{
    const fs::path generator = fs::path(VARROW_BINARY_DIR) / "tools" / "assetgen" / "assetgen";
    ASSERT_TRUE(fs::exists(generator)) << generator;
    const fs::path base = fs::temp_directory_path() / ("varrow_assets_" + std::to_string(::getpid()));
    const fs::path a = base / "a", b = base / "b";
    for (const fs::path& dir : {a, b}) {
        std::string cmd = "\"" + generator.string() + "\" \"" + dir.string() + "\" > /dev/null";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    }
    std::vector<fs::path> files;
    for (const auto& e : fs::recursive_directory_iterator(a))
        if (e.is_regular_file())
            files.push_back(fs::relative(e.path(), a));
    EXPECT_EQ(files.size(), 32u);
    for (const fs::path& rel : files) {
        SCOPED_TRACE(rel.string());
        std::vector<uint8_t> first = readAll(a / rel);
        EXPECT_FALSE(first.empty());
        EXPECT_TRUE(first == readAll(b / rel));
        EXPECT_TRUE(first == readAll(rel)) << "run directory holds a stale copy";
    }
    fs::remove_all(base);
}
