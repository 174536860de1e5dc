// assetgen: writes every image, the font, the tower model and the sounds the game reads into one directory.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "AppIcon.h"
#include "ByteWriter.h"
#include "FontAtlas.h"
#include "HudPictures.h"
#include "Music.h"
#include "SceneTextures.h"
#include "SoundEffects.h"
#include "TextPainter.h"
#include "TowerModel.h"

#include <stb_image_write.h>

namespace {

const char* const kRegularFont = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";
const char* const kBoldFont = "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf";

int failures = 0;

void check(bool ok, const std::string& what)
{
    if (!ok) {
        std::cout << "assetgen: could not write " << what << std::endl;
        ++failures;
    }
}

} // namespace

bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& data)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    return bool(f);
}

bool writeFileText(const std::string& path, const std::string& text)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << text;
    return bool(f);
}

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::cout << "usage: assetgen <output directory> [<icon directory>]" << std::endl;
        return 2;
    }
    const auto started = std::chrono::steady_clock::now();
    const std::filesystem::path out(argv[1]);
    std::error_code ec;
    std::filesystem::create_directories(out / "models", ec);
    std::filesystem::create_directories(out / "sound", ec);
    auto at = [&out](const std::string& name) { return (out / name).string(); };

    // Smaller files for the flat HUD panels; every loader of ours and common tools read RLE TGA.
    stbi_write_tga_with_rle = 1;

    auto image = [&](const std::string& name, const Canvas& c, int channels) { check(c.saveTga(at(name), channels), name); };

    image("quads.tga", SceneTextures::boardCell(), 3);
    image("quads_glow.tga", SceneTextures::boardCellGlow(), 3);
    image("e_quads.tga", SceneTextures::enemy(Color(1.0f, 0.12f, 0.3f)), 3);
    image("e_quads_glow.tga", SceneTextures::enemyGlow(Color(1.0f, 0.72f, 0.62f), 0.85f), 3);
    image("e_quads_or.tga", SceneTextures::enemy(Color(1.0f, 0.5f, 0.05f)), 3);
    image("e_quads_yl.tga", SceneTextures::enemy(Color(1.0f, 0.92f, 0.1f)), 3);
    image("e_quads_wh.tga", SceneTextures::enemy(Color(0.92f, 0.95f, 1.0f)), 3);
    image("e_quads_wh_glow.tga", SceneTextures::enemyGlow(Color(1.0f, 1.0f, 1.0f), 1.0f), 3);
    image("t_quads.tga", SceneTextures::pad(), 3);
    image("t_quads_glow.tga", SceneTextures::padGlow(), 3);
    image("tris.tga", SceneTextures::towerSkin(HudPictures::kStandardHue), 3);
    image("tris_gr.tga", SceneTextures::towerSkin(HudPictures::kSniperHue), 3);
    image("tris_bl.tga", SceneTextures::towerSkin(HudPictures::kPowerHue), 3);
    image("tris_glow.tga", SceneTextures::towerGlow(), 3);
    image("markUp.tga", SceneTextures::marker(), 3);

    FontAtlas font;
    if (font.build(kRegularFont)) {
        check(writeFileText(at("arial.fnt"), font.description()), "arial.fnt");
        image("arial_0.tga", font.page(), 4);
        image("arial_0_glow.tga", font.glowPage(), 4);
    } else {
        check(false, "arial.fnt (font could not be rasterised)");
    }

    TextPainter labels(kBoldFont);
    check(labels.ok(), "HUD labels (bold font missing)");
    HudPictures hud(labels);
    image("SelectionMode.tga", hud.selectionMode(), 4);
    image("SelectionTool.tga", hud.selectionTool(), 4);
    image("Towers.tga", hud.towers(), 4);
    image("SuperGlow.tga", hud.superGlow(), 4);
    image("selected.tga", hud.selected(), 4);
    image("sel_standard.tga", hud.towerIcon(HudPictures::kStandardHue, "STANDARD"), 4);
    image("sel_sniper.tga", hud.towerIcon(HudPictures::kSniperHue, "SNIPER"), 4);
    image("sel_power.tga", hud.towerIcon(HudPictures::kPowerHue, "POWER"), 4);

    check(writeFileBytes(at("models/tris.md2"), TowerModel().md2()), "models/tris.md2");

    check(writeFileBytes(at("sound/bricks.xm"), Music::backgroundXm()), "sound/bricks.xm");
    check(writeFileBytes(at("sound/victory_.xm"), Music::victoryXm()), "sound/victory_.xm");
    check(writeFileBytes(at("sound/game_over.mod"), Music::gameOverMod()), "sound/game_over.mod");
    std::vector<uint8_t> laser = SoundEffects::encodeMp3(SoundEffects::laser());
    check(!laser.empty() && writeFileBytes(at("sound/Laser sound 1.mp3"), laser), "sound/Laser sound 1.mp3");
    std::vector<uint8_t> whoosh = SoundEffects::encodeMp3(SoundEffects::teleport());
    check(!whoosh.empty() && writeFileBytes(at("sound/teleport_activate.mp3"), whoosh), "sound/teleport_activate.mp3");

    // The menu icons are not game data: they go to a folder of their own when one is named.
    if (argc == 3) {
        std::filesystem::create_directories(argv[2], ec);
        for (int size : {48, 128, 256}) {
            const std::string name = "varrow-" + std::to_string(size) + ".png";
            check(AppIcon::paint(size).savePng((std::filesystem::path(argv[2]) / name).string()), name);
        }
    }

    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    std::cout << "assetgen: wrote assets to " << out.string() << " in " << int(ms) << " ms" << std::endl;
    return failures == 0 ? 0 : 1;
}
