// No test reads or writes the developer's own settings, levels, records or kept match: before any test runs,
// the XDG folders of every test executable (and of the games its tests start) point into the build directory.
#include <cstdlib>

namespace {

struct TestHomes {
  TestHomes() {
    setenv("XDG_CONFIG_HOME", VARROW_BINARY_DIR "/test-config", 1);
    setenv("XDG_DATA_HOME", VARROW_BINARY_DIR "/test-data", 1);
    setenv("XDG_STATE_HOME", VARROW_BINARY_DIR "/test-state", 1);
  }
};

const TestHomes testHomes;

}  // namespace
