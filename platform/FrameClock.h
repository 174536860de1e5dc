// The frame's time: when the last frame began, when the pause began, and the frame-rate statistics. The frame
// update writes it; the pause and the options screen rewind it.
#pragma once

struct FrameClock {
  double lastFrameTime = 0.0;
  double pauseStartTime = 0.0;
  double frameCount = 0.0;
  double fpsLastTime = 0.0;
  double msPerFrame = 0.0;
  double framesPerSecond = 0.0;

  // Sets the platform clock back to a moment (the start of a pause, or the opening of a screen) and makes it
  // the last frame's time, so the game resumes from there with a short first step.
  void rewindTo(double time);
};

extern FrameClock frameClock;
