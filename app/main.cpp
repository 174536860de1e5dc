// Entry point: reads the command line, runs the game, then exits so that the game world is torn down by the
// static destructors.
#include <cstdlib>
#include <iostream>

#include "app/Application.h"
#include "app/CommandLine.h"

int main(int argc, char** argv) {
  const LaunchOptions options = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  switch (options.action) {
    case LaunchOptions::Action::Help:
      std::cout << usageText();
      return 0;
    case LaunchOptions::Action::Version:
      std::cout << versionText() << std::endl;
      return 0;
    case LaunchOptions::Action::Fail:
      std::cerr << options.error << std::endl << usageText();
      return 2;
    case LaunchOptions::Action::Play:
      break;
  }
  std::exit(runApplication(options));
}
