// The match's clock and speed. Match time is the sum of the match's steps: every update of the rules moves it
// by its step, so a match is the same function of its steps and commands however long its frames took. The
// camera, the frame rate, the screen messages and the pause's rewind keep reading the platform clock.
#pragma once

// The speed after one more press of the fast-forward key: 1, 2, 4, 8, then 1 again.
int nextGameSpeed(int speed);

class MatchClock {
 public:
  // Seconds of match time: the sum of the steps since the match began.
  double now() const { return time_; }
  int speed() const { return speed_; }
  void setSpeed(int speed) { speed_ = speed; }
  // One step of the rules: match time moves by exactly dt.
  void step(double dt) { time_ += dt; }
  // Match time 0 from this moment, at normal speed.
  void restart();
  // Puts the match at a moment outright, for the rules to be looked at there.
  void jumpTo(double seconds) { time_ = seconds; }

 private:
  double time_ = 0.0;
  int speed_ = 1;
};

extern MatchClock matchClock;
