// Recording a match as it is played, and the replays folder: one file per finished match, the newest kept.
#include "game/Recorder.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kExtension = ".varrow-replay";

// An absolute folder from the variable, else from $HOME and the default below it.
std::string baseFolder(const char* variable, const char* home, const char* underHome) {
  if (variable && variable[0] == '/') return variable;
  if (home && home[0] == '/') return std::string(home) + underHome;
  return "";
}

}  // namespace

void Recorder::begin(std::string levelText, std::string difficulty) {
  replay_ = Replay();
  replay_.levelText = std::move(levelText);
  replay_.difficulty = std::move(difficulty);
  replay_.gameVersion = VARROW_VERSION;
}

void Recorder::command(const Command& command) {
  if (keptInReplay(command.kind)) replay_.commands.push_back(RecordedCommand{replay_.stepCount, command});
}

bool keptInReplay(CommandKind kind) {
  return changesMatch(kind) && kind != CommandKind::Pause && kind != CommandKind::Speed && kind != CommandKind::PlayAgain;
}

std::string replayFolder(const char* xdgDataHome, const char* home) {
  const std::string base = baseFolder(xdgDataHome, home, "/.local/share");
  return base.empty() ? "" : base + "/varrow/replays";
}

std::string lastMatchPath(const char* xdgStateHome, const char* home) {
  const std::string base = baseFolder(xdgStateHome, home, "/.local/state");
  return base.empty() ? "" : base + "/varrow/last-match";
}

std::string replayFileName(std::time_t when, const std::string& levelName) {
  std::tm local{};
  localtime_r(&when, &local);
  char date[32];
  std::strftime(date, sizeof date, "%Y-%m-%d-%H-%M-%S", &local);
  std::string name;
  for (char c : levelName) {
    if (std::isalnum(static_cast<unsigned char>(c)))
      name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    else if (!name.empty() && name.back() != '-')
      name += '-';
  }
  while (!name.empty() && name.back() == '-') name.pop_back();
  return std::string(date) + "-" + (name.empty() ? "level" : name) + kExtension;
}

std::string saveReplay(const Replay& replay, const std::string& folder, const std::string& levelName, std::time_t when) {
  const std::string name = replayFileName(when, levelName);
  // Two matches ended in the same second keep both.
  std::string path = folder + "/" + name;
  std::error_code error;
  for (int n = 2; fs::exists(path, error); ++n)
    path = folder + "/" + name.substr(0, name.size() - std::string(kExtension).size()) + "-" + std::to_string(n) + kExtension;
  const std::string warning = writeReplayFile(path, replay);
  if (!warning.empty()) return warning;

  // The names begin with the date, so their order is the order the matches ended in.
  std::vector<fs::path> replays;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    if (it->path().extension() == kExtension && it->is_regular_file(error)) replays.push_back(it->path());
  std::sort(replays.begin(), replays.end());
  for (size_t i = 0; i + kKeptReplays < replays.size(); ++i) fs::remove(replays[i], error);
  return "";
}
