// The world torn down after the GL context is gone, as at program exit: objects free their memory and make
// no GL call. Runs in its own process because it ends the context.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <memory>

#include "GlTestContext.h"
#include "MatchRunner.h"
#include "game/Game.h"
#include "platform/Platform.h"
#include "scene/Enemy.h"

namespace {

int deleteBufferCalls = 0;
PFNGLDELETEBUFFERSPROC realDeleteBuffers = nullptr;

void countingDeleteBuffers(GLsizei n, const GLuint* buffers) {
  ++deleteBufferCalls;
  if (realDeleteBuffers) realDeleteBuffers(n, buffers);
}

TEST(SceneTeardown, ObjectsMakeNoGlCallOnceTheContextIsGone) {
  ensureGlContext();
  auto world = std::make_unique<Game>();
  MatchRunner runner(*world);
  runner.buildWorld();
  runner.runFor(20.0);  // enough for the first enemies to be on their way
  ASSERT_FALSE(world->enemies.empty());

  // While the context lives, an enemy does delete its two buffers.
  realDeleteBuffers = __glewDeleteBuffers;
  __glewDeleteBuffers = countingDeleteBuffers;
  world->enemies.pop_front();
  EXPECT_EQ(deleteBufferCalls, 2);

  platform::terminate();
  ASSERT_FALSE(platform::hasCurrentContext());
  realDeleteBuffers = nullptr;
  deleteBufferCalls = 0;
  world.reset();
  EXPECT_EQ(deleteBufferCalls, 0);
}

}  // namespace
