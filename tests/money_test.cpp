// Money: prices of building, upgrade and sale costs, the pay for kills, integer truncation, and the
// shared tower model.
#include <gtest/gtest.h>

#include <string>

#include "CaptureStdout.h"
#include "GlTestContext.h"
#include "game/Game.h"
#include "input/Mouse.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"
#include "scene/Tower.h"

namespace {

const std::string kNoMoney = "[BUILD]: Not enough Resources!\n";

// The mouse commands work on the global game; every test leaves it as it found it.
class GlobalGameMoney : public ::testing::Test {
 protected:
  void SetUp() override {
    game.resources = 1000;
    game.selectedTower = nullptr;
  }
  void TearDown() override {
    for (auto& t : game.towers) t->selected = true;
    game.removeSelectedTowers();
    game.selectedTower = nullptr;
    game.resources = 1000;
  }
  Tower* buildAndSelect(const std::string& kind) {
    game.buildTower(kind, 10.0f, -10.0f, 0, 0, 0);
    Tower* t = game.towers.back().get();
    t->selected = true;
    game.selectedTower = t;
    return t;
  }
};

}  // namespace

TEST(Money, BuildingChargesThePriceOnlyWhenItIsThere) {
  struct Case {
    const char* kind;
    int money;
    bool built;
  } cases[] = {{"tris", 100, true},     {"tris", 99, false},    {"tris_gr", 250, true}, {"tris_gr", 249, false},
               {"tris_bl", 500, true},  {"tris_bl", 499, false}, {"tris_gr", 300, true}, {"tris_bl", 300, false},
               {"tower", 100000, false}, {"", 100000, false}};
  for (const Case& c : cases) {
    Game g;
    g.resources = c.money;
    CaptureStdout out;
    g.buildTower(c.kind, 20.0f, -20.0f, 4, 5, 10);
    const int price = c.built ? findTowerKind(c.kind)->price : 0;
    EXPECT_EQ(g.resources, c.money - price) << c.kind << " with " << c.money;
    EXPECT_EQ(g.towers.size(), c.built ? 1u : 0u) << c.kind << " with " << c.money;
    EXPECT_EQ(out.text(), c.built ? "" : kNoMoney) << c.kind << " with " << c.money;
    if (c.built) {
      Tower* t = g.towers.back().get();
      EXPECT_EQ(t->kind, c.kind);
      EXPECT_EQ(t->posX, 20.0f);
      EXPECT_EQ(t->posZ, -20.0f);
      EXPECT_EQ(t->material.texture, 4u);
      EXPECT_EQ(t->texture5, 5u);
      EXPECT_EQ(t->markTexture, 10u);
      EXPECT_FALSE(t->selected);
    }
  }
}

TEST(Money, EveryTowerSharesTheOneModelLoadedForTheFirst) {
  Game g;
  g.buildTower("tris", 10.0f, -10.0f, 0, 0, 0);
  ASSERT_EQ(g.towerModels.size(), 1u);
  Md2Model* first = g.towerModel;
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(g.towerModels["tris"].get(), first);
  EXPECT_GT(first->numFrames, 0) << "the run directory's models/tris.md2 loads";
  g.buildTower("tris_bl", 20.0f, -10.0f, 0, 0, 0);
  g.buildTower("tris_gr", 30.0f, -10.0f, 0, 0, 0);
  EXPECT_EQ(g.towerModels.size(), 1u);
  for (auto& t : g.towers) EXPECT_EQ(t->model, first);
}

TEST(Money, RemovingSelectedTowersTakesExactlyTheFlaggedOnes) {
  Game g;
  g.resources = 100000;
  for (int i = 0; i < 4; ++i) g.buildTower("tris", 10.0f * i, -10.0f, 0, 0, 0);
  g.removeSelectedTowers();
  EXPECT_EQ(g.towers.size(), 4u);
  auto it = g.towers.begin();
  Tower* keep0 = (it++)->get();
  (*it++)->selected = true;
  Tower* keep2 = (it++)->get();
  (*it)->selected = true;
  g.selectedTower = it->get();
  g.removeSelectedTowers();
  ASSERT_EQ(g.towers.size(), 2u);
  EXPECT_EQ(g.towers.front().get(), keep0);
  EXPECT_EQ(g.towers.back().get(), keep2);
  EXPECT_EQ(g.selectedTower, nullptr) << "no pointer to a removed tower is left behind";
}

TEST_F(GlobalGameMoney, UpgradeCosts200Then400AndFailsSilently) {
  Tower* t = buildAndSelect("tris");
  ASSERT_EQ(game.resources, 900);
  CaptureStdout out;
  upgradeSelectedTower();
  EXPECT_EQ(game.resources, 700);
  EXPECT_EQ(t->level, 2.0);
  upgradeSelectedTower();
  EXPECT_EQ(game.resources, 300);
  EXPECT_EQ(t->level, 3.0);
  EXPECT_EQ(out.text(), "level: 2 distance: 6 power: 50\nUpgrade!\nlevel: 3 distance: 7 power: 100\nUpgrade!\n");
  out.clear();
  // 800 needed now; 799 is not enough and nothing is said.
  game.resources = 799;
  upgradeSelectedTower();
  EXPECT_EQ(game.resources, 799);
  EXPECT_EQ(t->level, 3.0);
  game.resources = 800;
  upgradeSelectedTower();
  EXPECT_EQ(game.resources, 0);
  EXPECT_EQ(out.text(), "level: 4 distance: 8 power: 200\nUpgrade!\n");
  out.clear();
  game.selectedTower = nullptr;
  game.resources = 5000;
  upgradeSelectedTower();
  EXPECT_EQ(game.resources, 5000);
  EXPECT_EQ(out.text(), "");
}

TEST_F(GlobalGameMoney, SellReturns50ThenDoubleForEachLevel) {
  buildAndSelect("tris");
  CaptureStdout out;
  sellSelectedTower();
  EXPECT_EQ(game.resources, 950);
  EXPECT_TRUE(game.towers.empty());
  EXPECT_EQ(game.selectedTower, nullptr);
  EXPECT_EQ(out.text(), "Sell!\n");

  buildAndSelect("tris_bl");
  ASSERT_EQ(game.resources, 450);
  upgradeSelectedTower();
  ASSERT_EQ(game.resources, 250);
  out.clear();
  sellSelectedTower();
  EXPECT_EQ(game.resources, 350);
  EXPECT_TRUE(game.towers.empty());
  EXPECT_EQ(out.text(), "Sell!\n");

  // Nothing selected: nothing said, nothing removed.
  game.buildTower("tris", 10.0f, -10.0f, 0, 0, 0);
  out.clear();
  sellSelectedTower();
  EXPECT_EQ(game.towers.size(), 1u);
  EXPECT_EQ(game.resources, 250);
  EXPECT_EQ(out.text(), "");
}

TEST_F(GlobalGameMoney, UpgradeAndSaleKeepTheIntegerPart) {
  Tower* t = buildAndSelect("tris");
  t->level = 1.5;  // 100 * 2^1.5 = 282.84..., 50 * 2^0.5 = 70.71...
  game.resources = 1000;
  CaptureStdout quiet;
  upgradeSelectedTower();
  EXPECT_EQ(game.resources, 717);
  t->level = 1.5;
  sellSelectedTower();
  EXPECT_EQ(game.resources, 787);
}

class MoneyInUpdate : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    platform::useManualClock(true);
    platform::setTime(0.0);
  }
  void TearDown() override { platform::useManualClock(false); }
};

TEST_F(MoneyInUpdate, EveryKillPays50OnceAndSuperGlowKillsPayAtTheNextUpdate) {
  static const float path[10] = {1, -1, 1, -10, 25, -10, 25, -39, 39, -39};
  Game g;
  g.createMap(0);
  g.resources = 0;
  {
    CaptureStdout out;
    g.buildTower("tris", 1.0f, -4.0f, 0, 0, 0);
    EXPECT_EQ(out.text(), kNoMoney);
  }
  EXPECT_TRUE(g.towers.empty());
  g.resources = 200;
  g.buildTower("tris", 3.0f, -4.0f, 0, 0, 0);
  g.buildTower("tris", 3.0f, -4.0f, 0, 0, 0);
  ASSERT_EQ(g.resources, 0);
  // Two yellow cubes of 50: both towers hit the first one in the same frame; it dies once and pays once.
  g.enemies.push_back(std::make_unique<Enemy>("cube_yl", 1.0f, -4.0f, path, 5, 0));
  g.enemies.push_back(std::make_unique<Enemy>("cube_yl", 1.0f, -2.0f, path, 5, 0));
  platform::setTime(3.0);
  g.update(0.001);
  EXPECT_EQ(g.enemies.size(), 1u);
  EXPECT_EQ(g.resources, 50);

  // The SuperGlow damage is paid for at the next update, like any kill.
  for (auto& e : g.enemies) e->hitPoints -= 300.0;
  platform::setTime(3.1);
  g.update(0.001);
  EXPECT_TRUE(g.enemies.empty());
  EXPECT_EQ(g.resources, 100);
}
