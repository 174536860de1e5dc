// Stored z-up in model units; the tower scales by 0.08 and lifts the origin 1.5 above the ground, so the
// feet sit at z = -18.75 and the crystal tops out near z = 30 (about 4 world units tall).
#include "TowerModel.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "ByteWriter.h"
#include "scene/Md2Normals.h"

namespace {

using Vec3 = TowerModel::Vec3;

constexpr float kPi = 3.14159265358979f;
constexpr float kFeetZ = -18.75f;
constexpr float kCrystalZ = 18.0f;

Vec3 v3(float x, float y, float z) { return Vec3{x, y, z}; }
Vec3 operator+(Vec3 a, Vec3 b) { return v3(a.x + b.x, a.y + b.y, a.z + b.z); }
Vec3 operator-(Vec3 a, Vec3 b) { return v3(a.x - b.x, a.y - b.y, a.z - b.z); }
Vec3 operator*(Vec3 a, float k) { return v3(a.x * k, a.y * k, a.z * k); }
float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 cross(Vec3 a, Vec3 b) { return v3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x); }
Vec3 normalize(Vec3 a)
{
    float l = std::sqrt(dot(a, a));
    return l > 0 ? a * (1.0f / l) : v3(0, 0, 1);
}
Vec3 polar(float radius, float angle, float z) { return v3(radius * std::cos(angle), radius * std::sin(angle), z); }
Vec3 rotateZ(Vec3 p, float a)
{
    float c = std::cos(a), s = std::sin(a);
    return v3(p.x * c - p.y * s, p.x * s + p.y * c, p.z);
}

int nearestNormal(Vec3 n)
{
    int best = 0;
    float bestDot = -2.0f;
    for (int i = 0; i < kMd2NormalCount; ++i) {
        float d = n.x * kMd2Normals[i][0] + n.y * kMd2Normals[i][1] + n.z * kMd2Normals[i][2];
        if (d > bestDot) {
            bestDot = d;
            best = i;
        }
    }
    return best;
}

} // namespace

TowerModel::TowerModel()
{
    buildPlinth();
    buildColumn();
    buildProngs();
    buildCrystal();
    buildShards();
}

int TowerModel::addVertex(const Vec3& p, const Vec3& n, Part part)
{
    vertices_.push_back(Vertex{p, n, part});
    return int(vertices_.size()) - 1;
}

// Faces are flat-shaded, so each gets its own vertices. The game draws with clockwise front faces:
// a quad seen from outside as (bottom-left, bottom-right, top-right, top-left) becomes the strip BL, TL, BR, TR.
void TowerModel::quad(const Vec3 (&c)[4], const Vec3& outwardHint, float u0, float u1, float v0, float v1, Part part)
{
    Vec3 p[4] = {c[0], c[1], c[2], c[3]};
    Vec3 n = cross(p[1] - p[0], p[2] - p[0]);
    if (dot(n, outwardHint) < 0) {
        std::swap(p[0], p[1]);
        std::swap(p[2], p[3]);
        n = n * -1.0f;
    }
    n = normalize(n);
    Command cmd{false, {}};
    const int order[4] = {0, 3, 1, 2};
    const float su[4] = {u0, u1, u1, u0};
    const float tv[4] = {v0, v0, v1, v1};
    for (int k : order)
        cmd.packets.push_back(Packet{su[k], tv[k], addVertex(p[k], n, part)});
    commands_.push_back(cmd);
}

void TowerModel::triangle(Vec3 a, Vec3 b, Vec3 c, const Vec3& outwardHint, float u0, float u1, Part part)
{
    Vec3 n = cross(b - a, c - a);
    if (dot(n, outwardHint) < 0) {
        std::swap(b, c);
        n = n * -1.0f;
    }
    n = normalize(n);
    // Counter-clockwise a, b, c from outside; the clockwise order a, c, b is what the game culls against.
    Command cmd{false, {}};
    cmd.packets.push_back(Packet{(u0 + u1) * 0.5f, 0.92f, addVertex(a, n, part)});
    cmd.packets.push_back(Packet{u1, 0.08f, addVertex(c, n, part)});
    cmd.packets.push_back(Packet{u0, 0.08f, addVertex(b, n, part)});
    commands_.push_back(cmd);
}

void TowerModel::capFan(const std::vector<Vec3>& ring, const Vec3& centre, const Vec3& outward, float u0, float u1, Part part)
{
    // ring runs counter-clockwise seen from outside; the fan walks it backwards.
    Vec3 n = normalize(outward);
    Command cmd{true, {}};
    float um = (u0 + u1) * 0.5f, ur = (u1 - u0) * 0.5f;
    cmd.packets.push_back(Packet{um, 0.5f, addVertex(centre, n, part)});
    for (int i = int(ring.size()); i >= 0; --i) {
        const Vec3& p = ring[size_t(i) % ring.size()];
        float a = 2.0f * kPi * float(i) / float(ring.size());
        cmd.packets.push_back(Packet{um + ur * std::cos(a), 0.5f + 0.45f * std::sin(a), addVertex(p, n, part)});
    }
    commands_.push_back(cmd);
}

void TowerModel::buildPlinth()
{
    const int sides = 8;
    const float off = kPi / sides;
    struct Band {
        float r0, z0, r1, z1, v0, v1;
    };
    const Band bands[] = {{19.0f, kFeetZ, 17.5f, kFeetZ + 3.5f, 0.05f, 0.55f},
                          {17.5f, kFeetZ + 3.5f, 13.0f, kFeetZ + 5.5f, 0.6f, 0.95f}};
    for (const Band& b : bands)
        for (int i = 0; i < sides; ++i) {
            float a0 = off + 2 * kPi * i / sides, a1 = off + 2 * kPi * (i + 1) / sides;
            Vec3 q[4] = {polar(b.r0, a0, b.z0), polar(b.r0, a1, b.z0), polar(b.r1, a1, b.z1), polar(b.r1, a0, b.z1)};
            Vec3 mid = polar(1.0f, (a0 + a1) * 0.5f, 0.0f);
            quad(q, mid, kPlinthU0, kPlinthU1, b.v0, b.v1, Static);
        }
    std::vector<Vec3> top;
    for (int i = 0; i < sides; ++i)
        top.push_back(polar(13.0f, off + 2 * kPi * i / sides, kFeetZ + 5.5f));
    capFan(top, v3(0, 0, kFeetZ + 5.5f), v3(0, 0, 1), kPlinthU0, kPlinthU1, Static);
}

void TowerModel::buildColumn()
{
    const int sides = 6;
    const float zb = kFeetZ + 5.5f, zt = 7.0f;
    for (int i = 0; i < sides; ++i) {
        float a0 = 2 * kPi * i / sides, a1 = 2 * kPi * (i + 1) / sides;
        Vec3 q[4] = {polar(7.5f, a0, zb), polar(7.5f, a1, zb), polar(4.5f, a1, zt), polar(4.5f, a0, zt)};
        quad(q, polar(1.0f, (a0 + a1) * 0.5f, 0.0f), kColumnU0, kColumnU1, 0.05f, 0.95f, Static);
    }
    // The emitter dish on top of the column glows in the accent colour.
    std::vector<Vec3> ring;
    for (int i = 0; i < sides; ++i)
        ring.push_back(polar(4.5f, 2 * kPi * i / sides, zt));
    capFan(ring, v3(0, 0, zt + 1.2f), v3(0, 0, 1), kAccentU0, kAccentU1, Static);
}

void TowerModel::buildProngs()
{
    // Each prong is two tapered segments: outward from the plinth, then inward to a tip beside the crystal.
    struct Station {
        float r, z, radial, tangential;
    };
    const Station st[3] = {{11.0f, kFeetZ + 5.0f, 3.4f, 5.0f}, {14.5f, 9.0f, 2.8f, 4.0f}, {9.5f, 27.0f, 0.6f, 0.8f}};
    for (int k = 0; k < 3; ++k) {
        float a = kPi * 0.5f + 2 * kPi * k / 3;
        Vec3 radial = polar(1.0f, a, 0), tangent = polar(1.0f, a + kPi * 0.5f, 0);
        auto corner = [&](const Station& s, float sr, float stg) {
            return polar(s.r, a, s.z) + radial * (sr * s.radial * 0.5f) + tangent * (stg * s.tangential * 0.5f);
        };
        for (int seg = 0; seg < 2; ++seg) {
            const Station& lo = st[seg];
            const Station& hi = st[seg + 1];
            float v0 = seg == 0 ? 0.05f : 0.5f, v1 = seg == 0 ? 0.5f : 0.95f;
            const float sides[4][2] = {{1, -1}, {1, 1}, {-1, 1}, {-1, -1}};
            for (int f = 0; f < 4; ++f) {
                const float* c0 = sides[f];
                const float* c1 = sides[(f + 1) % 4];
                Vec3 q[4] = {corner(lo, c0[0], c0[1]), corner(lo, c1[0], c1[1]), corner(hi, c1[0], c1[1]), corner(hi, c0[0], c0[1])};
                Vec3 centre = (corner(lo, 0, 0) + corner(hi, 0, 0)) * 0.5f;
                Vec3 faceMid = (q[0] + q[1] + q[2] + q[3]) * 0.25f;
                // The face turned to the crystal carries the glowing accent line.
                bool inner = f == 2;
                quad(q, faceMid - centre, inner ? kAccentU0 : kProngU0, inner ? kAccentU1 : kProngU1, v0, v1, Static);
            }
        }
        std::vector<Vec3> tip = {corner(st[2], 1, -1), corner(st[2], 1, 1), corner(st[2], -1, 1), corner(st[2], -1, -1)};
        Vec3 tipCentre = corner(st[2], 0, 0);
        Vec3 up = normalize(tipCentre - corner(st[1], 0, 0));
        Vec3 n = cross(tip[1] - tip[0], tip[2] - tip[0]);
        if (dot(n, up) < 0)
            std::reverse(tip.begin(), tip.end());
        capFan(tip, tipCentre + up * 1.5f, up, kAccentU0, kAccentU1, Static);
    }
}

void TowerModel::buildCrystal()
{
    const int sides = 6;
    const float r = 5.5f, top = 9.0f, bottom = 8.0f;
    Vec3 apexTop = v3(0, 0, kCrystalZ + top), apexBottom = v3(0, 0, kCrystalZ - bottom);
    const float du = (kCrystalU1 - kCrystalU0) / sides * 2.0f;
    for (int i = 0; i < sides; ++i) {
        float a0 = 2 * kPi * i / sides, a1 = 2 * kPi * (i + 1) / sides;
        Vec3 p0 = polar(r, a0, kCrystalZ), p1 = polar(r, a1, kCrystalZ);
        Vec3 out = polar(1.0f, (a0 + a1) * 0.5f, 0);
        float u0 = kCrystalU0 + du * float(i % 3), u1 = u0 + du;
        triangle(p0, p1, apexTop, out + v3(0, 0, 0.5f), u0, u1, Crystal);
        triangle(p1, p0, apexBottom, out - v3(0, 0, 0.5f), u0, u1, Crystal);
    }
}

void TowerModel::buildShards()
{
    const float r = 1.7f;
    for (int k = 0; k < 3; ++k) {
        Vec3 c = polar(7.6f, 2 * kPi * k / 3 + kPi / 6, kCrystalZ - 3.0f);
        Vec3 axes[6] = {v3(r, 0, 0), v3(0, r, 0), v3(-r, 0, 0), v3(0, -r, 0), v3(0, 0, r * 1.6f), v3(0, 0, -r * 1.6f)};
        for (int i = 0; i < 4; ++i) {
            Vec3 a = c + axes[i], b = c + axes[(i + 1) % 4];
            Vec3 mid = axes[i] + axes[(i + 1) % 4];
            triangle(a, b, c + axes[4], mid + v3(0, 0, 1), kAccentU0, kAccentU1, Shard);
            triangle(b, a, c + axes[5], mid - v3(0, 0, 1), kAccentU0, kAccentU1, Shard);
        }
    }
}

// One full turn, one bob and two pulses per loop, so frame 39 flows back into frame 0.
TowerModel::Vec3 TowerModel::animate(const Vec3& p, Part part, int frame) const
{
    float phase = 2 * kPi * float(frame) / float(kFrames);
    if (part == Crystal) {
        float pulse = 1.0f + 0.1f * std::sin(2 * phase);
        Vec3 local = p - v3(0, 0, kCrystalZ);
        local = rotateZ(local, phase) * pulse;
        return local + v3(0, 0, kCrystalZ + 1.5f * std::sin(phase));
    }
    if (part == Shard) {
        Vec3 q = rotateZ(p, -phase);
        q.z += 1.2f * std::sin(phase + kPi);
        return q;
    }
    return p;
}

std::vector<uint8_t> TowerModel::md2() const
{
    const int numXyz = int(vertices_.size());

    // Texture coordinate table in texels, shared by the triangle list.
    std::vector<std::pair<int, int>> st;
    auto stIndex = [&st](float s, float t) {
        std::pair<int, int> key(int(std::lround(s * (kSkinSize - 1))), int(std::lround(t * (kSkinSize - 1))));
        auto it = std::find(st.begin(), st.end(), key);
        if (it != st.end())
            return int(it - st.begin());
        st.push_back(key);
        return int(st.size()) - 1;
    };
    struct Tri {
        int xyz[3], st[3];
    };
    std::vector<Tri> tris;
    for (const Command& cmd : commands_) {
        const auto& p = cmd.packets;
        for (size_t i = 0; i + 2 < p.size(); ++i) {
            size_t a, b, c;
            if (cmd.fan) {
                a = 0; b = i + 1; c = i + 2;
            } else if (i % 2 == 0) {
                a = i; b = i + 1; c = i + 2;
            } else {
                a = i + 1; b = i; c = i + 2;
            }
            Tri t;
            const size_t idx[3] = {a, b, c};
            for (int k = 0; k < 3; ++k) {
                t.xyz[k] = p[idx[k]].vertex;
                t.st[k] = stIndex(p[idx[k]].s, p[idx[k]].t);
            }
            tris.push_back(t);
        }
    }

    std::vector<int32_t> glcmds;
    for (const Command& cmd : commands_) {
        int n = int(cmd.packets.size());
        glcmds.push_back(cmd.fan ? -n : n);
        for (const Packet& pk : cmd.packets) {
            int32_t s, t;
            std::memcpy(&s, &pk.s, 4);
            std::memcpy(&t, &pk.t, 4);
            glcmds.push_back(s);
            glcmds.push_back(t);
            glcmds.push_back(pk.vertex);
        }
    }
    glcmds.push_back(0);

    const int frameSize = 40 + 4 * numXyz;
    const int ofsSkins = 68;
    const int ofsSt = ofsSkins + 64;
    const int ofsTris = ofsSt + 4 * int(st.size());
    const int ofsFrames = ofsTris + 12 * int(tris.size());
    const int ofsGlcmds = ofsFrames + frameSize * kFrames;
    const int ofsEnd = ofsGlcmds + 4 * int(glcmds.size());

    ByteWriter w;
    w.text("IDP2", 4);
    const int header[16] = {8, kSkinSize, kSkinSize, frameSize, 1, numXyz, int(st.size()), int(tris.size()),
                            int(glcmds.size()), kFrames, ofsSkins, ofsSt, ofsTris, ofsFrames, ofsGlcmds, ofsEnd};
    for (int v : header)
        w.i32le(v);
    w.text("models/tris.tga", 64);
    for (const auto& e : st) {
        w.i16le(e.first);
        w.i16le(e.second);
    }
    for (const Tri& t : tris) {
        for (int k = 0; k < 3; ++k)
            w.i16le(t.xyz[k]);
        for (int k = 0; k < 3; ++k)
            w.i16le(t.st[k]);
    }
    for (int f = 0; f < kFrames; ++f) {
        std::vector<Vec3> pos(vertices_.size()), nrm(vertices_.size());
        Vec3 lo = v3(1e9f, 1e9f, 1e9f), hi = v3(-1e9f, -1e9f, -1e9f);
        for (size_t i = 0; i < vertices_.size(); ++i) {
            const Vertex& v = vertices_[i];
            pos[i] = animate(v.pos, v.part, f);
            nrm[i] = normalize(animate(v.pos + v.normal, v.part, f) - pos[i]);
            lo = v3(std::min(lo.x, pos[i].x), std::min(lo.y, pos[i].y), std::min(lo.z, pos[i].z));
            hi = v3(std::max(hi.x, pos[i].x), std::max(hi.y, pos[i].y), std::max(hi.z, pos[i].z));
        }
        Vec3 scale = (hi - lo) * (1.0f / 255.0f);
        w.f32le(scale.x);
        w.f32le(scale.y);
        w.f32le(scale.z);
        w.f32le(lo.x);
        w.f32le(lo.y);
        w.f32le(lo.z);
        w.text("idle" + std::to_string(100 + f).substr(1), 16);
        for (size_t i = 0; i < vertices_.size(); ++i) {
            const float q[3] = {(pos[i].x - lo.x) / scale.x, (pos[i].y - lo.y) / scale.y, (pos[i].z - lo.z) / scale.z};
            for (float c : q)
                w.u8(uint32_t(std::max(0L, std::min(255L, std::lround(c)))));
            w.u8(uint32_t(nearestNormal(nrm[i])));
        }
    }
    for (int32_t c : glcmds)
        w.i32le(c);
    return w.bytes;
}
