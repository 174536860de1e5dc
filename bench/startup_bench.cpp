// Start-up time to the first frame: runs the game's own start-up (initApplication) and its first
// main-loop iteration (updateFrame + renderFrame with the swap), then finishes the GL work so the frame
// is really on screen. One measurement per process; scripts/bench.sh runs it several times.
// Usage: startup_bench [EXEC_TIME_NS], where EXEC_TIME_NS is the CLOCK_REALTIME in nanoseconds taken just
// before the exec (`date +%s%N`), so that loading the program and its libraries is counted too.
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include <GL/glew.h>

#include "app/Application.h"
#include "platform/Platform.h"

namespace {

double realtimeNow() {
  timespec t{};
  clock_gettime(CLOCK_REALTIME, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
  const double mainEntry = realtimeNow();
  const double execTime = argc > 1 ? std::strtod(argv[1], nullptr) * 1e-9 : mainEntry;
  if (chdir(VARROW_RUN_DIR) != 0) std::perror(VARROW_RUN_DIR);

  // The start-up lines are written as usual, but to a buffer, so that the result line stands alone.
  std::ostringstream console;
  std::streambuf* saved = std::cout.rdbuf(console.rdbuf());
  initApplication();
  const double initDone = realtimeNow();
  updateFrame();
  renderFrame();
  glFinish();
  const double firstFrame = realtimeNow();
  std::cout.rdbuf(saved);

  std::cout << "startup exec_to_main_ms=" << (mainEntry - execTime) * 1000.0
            << " init_ms=" << (initDone - mainEntry) * 1000.0
            << " first_frame_ms=" << (firstFrame - initDone) * 1000.0
            << " exec_to_first_frame_ms=" << (firstFrame - execTime) * 1000.0 << std::endl;
  shutdownApplication();
  return 0;
}
