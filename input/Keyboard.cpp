// Which key stands for which command: the spectator camera, pause, game speed, a new match, calling the next
// wave, the selected tower's target, and the F-key switches of the view and the overlay.
#include "input/Keyboard.h"

#include "platform/Platform.h"

bool commandForKey(int key, Command* command) {
  CommandKind kind;
  switch (key) {
    case 'C': kind = CommandKind::Spectator; break;
    case 'P': kind = CommandKind::Pause; break;
    case 'R': kind = CommandKind::PlayAgain; break;
    case 'F': kind = CommandKind::Speed; break;
    case 'N': kind = CommandKind::CallWave; break;
    case 'T': kind = CommandKind::CycleTargeting; break;
    case platform::KEY_F2: kind = CommandKind::FrameRate; break;
    case platform::KEY_F3: kind = CommandKind::Wireframe; break;
    case platform::KEY_F4: kind = CommandKind::TextureFilter; break;
    case platform::KEY_F5: kind = CommandKind::Mipmap; break;
    case platform::KEY_F6: kind = CommandKind::BufferObjects; break;
    case platform::KEY_F8: kind = CommandKind::Culling; break;
    case platform::KEY_F9: kind = CommandKind::Overlay; break;
    default: return false;
  }
  *command = Command{kind};
  return true;
}

void onKey(int key, int action) {
  Command command{CommandKind::Pause};
  if (action == platform::PRESS && commandForKey(key, &command)) applyCommand(command);
}
