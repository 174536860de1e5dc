// Which commands touch the match and which only the view.
#include "game/Command.h"

bool changesMatch(CommandKind kind) {
  switch (kind) {
    case CommandKind::ChooseTowerKind:
    case CommandKind::SelectionTool:
    case CommandKind::Build:
    case CommandKind::Select:
    case CommandKind::Upgrade:
    case CommandKind::Sell:
    case CommandKind::SuperGlow:
    case CommandKind::Pause:
    case CommandKind::Speed:
    case CommandKind::PlayAgain:
      return true;
    default:
      return false;
  }
}
