// Regular expressions for the suites, built in one place: <regex> costs seconds of compile time in every file
// that instantiates it.
#pragma once

#include <string>

// Whether the whole text matches the ECMAScript pattern.
bool matchesWhole(const std::string& text, const std::string& pattern);

// The text with every match of the pattern replaced ($& stands for the match).
std::string replaceAll(const std::string& text, const std::string& pattern, const std::string& with);
