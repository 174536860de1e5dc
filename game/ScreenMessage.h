// The one timed line of text shown at the top left after a key command.
#pragma once

struct ScreenMessage {
  const char* text;
  double expiry;  // platform::getTime() value until which the text is drawn
};
