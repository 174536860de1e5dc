// A player's action as one value: the keyboard and the mouse turn presses and clicks into commands, and the
// game applies them with its rules (applyCommand). Every change a player makes to a match passes through here,
// so a match is its level, its time steps and its commands.
#pragma once

#include <cstdint>

#include <glm/glm.hpp>

enum class CommandKind : std::uint8_t {
  // The match
  ChooseTowerKind,  // a tower button: board clicks build `towerKind` from now on
  SelectionTool,    // the Select button: board clicks select towers again
  Build,            // build `towerKind` at ground point `point`
  Select,           // select the tower on the line through `point` along `direction`
  Upgrade,          // upgrade the selected tower
  Sell,             // sell the selected tower
  SuperGlow,        // the board-wide attack
  Pause,            // pause or resume
  Speed,            // the next game speed
  PlayAgain,        // a new match once this one has ended
  CallWave,         // the next wave now, for a bonus
  CycleTargeting,   // the selected tower's next target priority
  // The view: switches that change how the match is shown, never the match itself
  Spectator,
  FrameRate,
  Wireframe,
  TextureFilter,
  Mipmap,
  BufferObjects,
  Culling,
  Overlay,
};

// The last kind, for tables and readers that check a kind they were given.
constexpr CommandKind kLastCommandKind = CommandKind::Overlay;

struct Command {
  CommandKind kind;
  // ChooseTowerKind and Build: the index of the tower kind in `towerKinds`.
  int towerKind = -1;
  // Build: the ground point; Select: where the picking line starts.
  glm::vec3 point = glm::vec3(0.0f);
  // Select: the picking line's direction.
  glm::vec3 direction = glm::vec3(0.0f);
};

// Whether a command can change the match (money, towers, enemies, files, the clock), as opposed to a view
// switch.
bool changesMatch(CommandKind kind);

// Applies a command to the one game world with the game's rules, printing what the player's action prints.
void applyCommand(const Command& command);
