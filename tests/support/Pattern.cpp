// The suites' regular expressions, instantiated once.
#include "Pattern.h"

#include <regex>

bool matchesWhole(const std::string& text, const std::string& pattern) {
  return std::regex_match(text, std::regex(pattern));
}

std::string replaceAll(const std::string& text, const std::string& pattern, const std::string& with) {
  return std::regex_replace(text, std::regex(pattern), with);
}
