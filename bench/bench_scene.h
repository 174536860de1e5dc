// The scenes the benchmarks and the reference frames share: the real start-up on a manual clock, 60 enemies
// spread along the four paths with the waves off, 20 towers of the three kinds beside the paths, clicks
// through the game's own mouse callback, and a match without towers played until it is lost.
#pragma once

class Tower;

constexpr int kEnemyCount = 60;
constexpr int kBusyTowerCount = 20;
constexpr double kFrameStep = 1.0 / 60.0;

// initApplication from the run directory ($VARROW_RUN_DIR when set), once per process, with the settings of
// the file $BENCH_SETTINGS names (the defaults when unset); the clock then moves only by runFrame and the
// cursor rests in the middle of the window, so every run plays the same frames.
void startGame();
// Takes the waves off and puts fifteen enemies on every path, each walked a different distance.
void placeEnemies();
// Places fresh enemies when walking and shooting have thinned them out (or the match has ended).
void refillEnemies();
// Builds the busy scene's towers on free spots four units beside the paths.
void buildBusyTowers();
// A left click at window pixel (x, y), origin top-left, through the registered mouse callback; the cursor
// then rests in the middle of the window again.
void clickAt(int x, int y);
// Where the middle of a tower's foot lies in the window, origin top-left, under the current camera.
void towerOnScreen(const Tower& tower, int* x, int* y);
// A new match as R starts one, then frames (updateFrame only) until it is lost, for at most ten minutes.
void playUntilLost();
// shutdownApplication, when the game was started.
void stopGame();
// One main-loop iteration one clock step later: updateFrame, renderFrame with the swap.
void runFrame();
