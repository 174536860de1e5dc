// The application icon for menus and launchers: a glowing board running into the distance, a file box and
// a standard tower in front of it, on a dark rounded square.
#pragma once

#include "Canvas.h"

namespace AppIcon {

// The icon at size x size pixels (48, 128 and 256 are installed), transparent outside its rounded square.
Canvas paint(int size);

} // namespace AppIcon
