// A screen over the frozen game (the options today): it opens on its key, takes every key while open, and
// stops the match on the game clock for as long as it is open.
#pragma once

class Screen {
 public:
  Screen() = default;
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;
  virtual ~Screen() = default;

  bool isOpen() const { return open_; }
  // The key that opens the screen while no screen is open.
  virtual int openKey() const = 0;
  // A key press while the screen is open.
  virtual void handleKey(int key) = 0;
  // Over the whole window, in HUD pixels.
  virtual void draw() = 0;
  // Opening stops the match on the game clock; closing sets the clock back to the moment it opened, as the
  // pause key does.
  virtual void open();
  virtual void close();

 private:
  bool open_ = false;
  double openedAt_ = 0.0;
};
