// Opening and closing a screen on the frame clock.
#include "app/Screen.h"

#include "platform/FrameClock.h"
#include "platform/Platform.h"

void Screen::open() {
  open_ = true;
  openedAt_ = platform::getTime();
}

void Screen::close() {
  open_ = false;
  frameClock.rewindTo(openedAt_);
}
