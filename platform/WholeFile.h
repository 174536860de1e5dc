// Writing a file whole: the text goes to a temporary file beside it, which is synced and renamed over the old
// one, so a reader finds the old file or the new one and never half of either.
#pragma once

#include <string>

// Writes text to path, making its folder first. Empty on success, else the system's reason; a failed write
// leaves the old file as it was and no temporary file behind.
std::string writeWholeFile(const std::string& path, const std::string& text);
