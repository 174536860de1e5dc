// The match's clock and speed. Match time is the platform clock plus an offset: fast-forward runs the offset
// ahead and a new match sets it so that the match starts at 0, while the camera, the frame rate, the screen
// messages and the pause's rewind keep reading the platform clock itself.
#pragma once

// The speed after one more press of the fast-forward key: 1, 2, 4, 8, then 1 again.
int nextGameSpeed(int speed);

class MatchClock {
 public:
  // Seconds of match time; the platform clock itself until the first fast-forward or new match.
  double now() const;
  // Match time at a reading of the platform clock, such as the moment a pause began.
  double at(double platformTime) const { return platformTime + offset_; }
  int speed() const { return speed_; }
  void setSpeed(int speed) { speed_ = speed; }
  // Match time 0 from this moment, at normal speed.
  void restart();
  // Moves match time ahead of the platform clock.
  void skip(double seconds) { offset_ += seconds; }

 private:
  double offset_ = 0.0;
  int speed_ = 1;
};

extern MatchClock matchClock;
