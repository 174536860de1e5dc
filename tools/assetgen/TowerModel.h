// The tower figure: a plinth, a column and three prongs holding a floating crystal, animated and written as MD2.
#pragma once

#include <cstdint>
#include <vector>

class TowerModel {
public:
    static constexpr int kFrames = 40;
    static constexpr int kSkinSize = 256;

    // Texture stripes of the skin (u ranges); the skin painter and the mesh agree on them.
    static constexpr float kAccentU0 = 0.0f, kAccentU1 = 0.0625f;
    static constexpr float kPlinthU0 = 0.0625f, kPlinthU1 = 0.25f;
    static constexpr float kColumnU0 = 0.25f, kColumnU1 = 0.5f;
    static constexpr float kProngU0 = 0.5f, kProngU1 = 0.75f;
    static constexpr float kCrystalU0 = 0.75f, kCrystalU1 = 1.0f;

    TowerModel();
    std::vector<uint8_t> md2() const;

    struct Vec3 {
        float x = 0, y = 0, z = 0;
    };

private:
    enum Part { Static, Crystal, Shard };
    struct Vertex {
        Vec3 pos;
        Vec3 normal;
        Part part;
    };
    struct Packet {
        float s, t;
        int vertex;
    };
    struct Command {
        bool fan;
        std::vector<Packet> packets;
    };

    int addVertex(const Vec3& p, const Vec3& n, Part part);
    void quad(const Vec3 (&corners)[4], const Vec3& outwardHint, float u0, float u1, float v0, float v1, Part part);
    void triangle(Vec3 a, Vec3 b, Vec3 c, const Vec3& outwardHint, float u0, float u1, Part part);
    void capFan(const std::vector<Vec3>& ring, const Vec3& centre, const Vec3& outward, float u0, float u1, Part part);
    void buildPlinth();
    void buildColumn();
    void buildProngs();
    void buildCrystal();
    void buildShards();
    Vec3 animate(const Vec3& p, Part part, int frame) const;

    std::vector<Vertex> vertices_;
    std::vector<Command> commands_;
};
