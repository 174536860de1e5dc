// The frame clock and the window state, with their start-up values.
#include "platform/FrameClock.h"

#include "platform/Core.h"
#include "platform/Platform.h"

Core core;
FrameClock frameClock;

void FrameClock::rewindTo(double time) {
  platform::setTime(time);
  lastFrameTime = time;
}
