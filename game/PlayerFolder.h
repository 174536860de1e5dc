// Where the player's own files live: levels and records under $XDG_DATA_HOME/varrow.
#pragma once

#include <string>

// $XDG_DATA_HOME/varrow, else $HOME/.local/share/varrow; empty when neither names an absolute folder (a
// variable that is set but empty counts as unset, and a relative one is ignored, as the XDG rules ask).
std::string playerFolder(const char* xdgDataHome, const char* home);
// The same from this process's environment.
std::string playerFolder();
