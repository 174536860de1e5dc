// The session ending under the game: SIGTERM, SIGHUP and SIGINT ask the main loop to quit as Escape does, so
// the match in progress is saved and the game shuts down in order.
#pragma once

// Installs the handlers, which only note the signal.
void catchQuitSignals();
// Whether one of them has arrived.
bool quitSignalled();
