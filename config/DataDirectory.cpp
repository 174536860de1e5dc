// The data folder search: a short list of candidates, the first holding a shader/ folder wins.
#include "config/DataDirectory.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

bool holdsGameData(const std::string& directory) {
  std::error_code error;
  return !directory.empty() && fs::is_directory(fs::path(directory) / "shader", error);
}

DataSearch findDataDirectory(const std::string& fromOption, const char* fromEnvironment,
                             const std::string& programDirectory) {
  struct Candidate {
    std::string directory, origin;
    bool named;  // named by the player, who is told when it holds nothing
  };
  std::vector<Candidate> candidates;
  if (!fromOption.empty()) candidates.push_back({fromOption, "--data", true});
  if (fromEnvironment && *fromEnvironment)
    candidates.push_back({fs::absolute(fromEnvironment).lexically_normal().string(), "VARROW_DATA_DIR", true});
  if (!programDirectory.empty()) {
    candidates.push_back({programDirectory, "beside the program", false});
    candidates.push_back(
        {(fs::path(programDirectory) / ".." / "share" / "games" / "varrow").lexically_normal().string(),
         "installed", false});
  }

  DataSearch search;
  std::string tried;
  for (const Candidate& c : candidates) {
    if (holdsGameData(c.directory)) {
      search.directory = c.directory;
      return search;
    }
    if (c.named) search.warnings.push_back("varrow: " + c.origin + " names " + c.directory +
                                           ", which holds no game data (no shader/ folder); looking further");
    tried += (tried.empty() ? "" : ", ") + c.directory + " (" + c.origin + ")";
  }
  search.failure = "varrow: cannot find the game's data (a folder holding shader/, models/, sound/ and the images); tried " +
                   (tried.empty() ? std::string("nothing") : tried) +
                   "; name the folder with --data DIR or the VARROW_DATA_DIR environment variable";
  return search;
}

std::string programDirectory() {
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string() : program.parent_path().string();
}
