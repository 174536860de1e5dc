// Entry point: reads the command line, finds the game's data and changes into it, runs the game, then exits
// so that the game world is torn down by the static destructors.
#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/DataDirectory.h"

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

  // Every file is read by its name relative to the data folder, so the game works from any directory.
  const DataSearch data = findDataDirectory(options.dataDir, std::getenv("VARROW_DATA_DIR"), programDirectory());
  for (const std::string& warning : data.warnings) std::cerr << warning << std::endl;
  if (data.directory.empty() || chdir(data.directory.c_str()) != 0) {
    std::cerr << (data.directory.empty() ? data.failure : "varrow: cannot enter " + data.directory) << std::endl;
    return 1;
  }
  std::exit(runApplication(options));
}
