// The player's own folder, from the XDG data variable or the home folder.
#include "game/PlayerFolder.h"

#include <cstdlib>

std::string playerFolder(const char* xdgDataHome, const char* home) {
  if (xdgDataHome && xdgDataHome[0] == '/') return std::string(xdgDataHome) + "/varrow";
  if (home && home[0] == '/') return std::string(home) + "/.local/share/varrow";
  return "";
}

std::string playerFolder() { return playerFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")); }
