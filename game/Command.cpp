// Applying a command to the world, and which commands touch the match and which only the view.
#include "game/Command.h"

#include <iostream>

#include "game/DebugSwitches.h"
#include "game/Game.h"
#include "game/MatchRecording.h"
#include "game/PlayerActions.h"
#include "scene/MatchClock.h"
#include "scene/Tower.h"

namespace {

const char* towerKindName(int index) {
  return index >= 0 && index < kTowerKindCount ? towerKinds[index].kind : "";
}

}  // namespace

void applyCommand(const Command& command) {
  matchRecording.command(command, game);
  switch (command.kind) {
    case CommandKind::ChooseTowerKind: chooseTowerType(towerKindName(command.towerKind)); break;
    case CommandKind::SelectionTool:
      game.selectionMode = true;
      std::cout << "SelectionMode!" << std::endl;
      break;
    case CommandKind::Build: buildAt(towerKindName(command.towerKind), command.point); break;
    case CommandKind::Select: pickTower(command.point, command.direction); break;
    case CommandKind::Upgrade: upgradeSelectedTower(); break;
    case CommandKind::Sell: sellSelectedTower(); break;
    case CommandKind::SuperGlow:
      // The button only takes the click once the attack is ready; a command from elsewhere obeys the same rule.
      if (!superGlowReady(game.gameState, matchClock.now(), game.superGlowReadyTime)) break;
      triggerSuperGlow();
      game.superGlowReadyTime = matchClock.now() + kSuperGlowCooldown;
      std::cout << "SuperGlow" << std::endl;
      break;
    case CommandKind::Pause: togglePause(); break;
    case CommandKind::Speed: cycleGameSpeed(); break;
    case CommandKind::PlayAgain: playAgain(); break;
    case CommandKind::CallWave: game.callNextWaveEarly(); break;
    case CommandKind::CycleTargeting: game.cycleTargeting(); break;
    case CommandKind::Spectator: toggleSpectator(); break;
    case CommandKind::FrameRate: toggleFrameRate(); break;
    case CommandKind::Wireframe: toggleWireframe(); break;
    case CommandKind::TextureFilter: toggleTextureFilter(); break;
    case CommandKind::Mipmap: cycleMipmapMode(); break;
    case CommandKind::BufferObjects:
      game.toggleVbo();
      showMessage(game.useVbo ? "VBOs: ON" : "VBOs: OFF");
      break;
    case CommandKind::Culling:
      game.toggleFrustumCulling();
      showMessage(game.frustumCulling ? "Viewfrustum Culling: ON" : "Viewfrustum Culling: OFF");
      break;
    case CommandKind::Overlay: toggleOverlay(); break;
  }
}

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
    case CommandKind::CallWave:
    case CommandKind::CycleTargeting:
      return true;
    default:
      return false;
  }
}
