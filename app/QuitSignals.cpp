// The quit signals' handler: it sets one flag, the only thing a handler may safely do; the main loop reads it.
#include "app/QuitSignals.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t signalled = 0;

void noteSignal(int) { signalled = 1; }

}  // namespace

void catchQuitSignals() {
  struct sigaction action {};
  action.sa_handler = noteSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGTERM, SIGHUP, SIGINT}) sigaction(signal, &action, nullptr);
}

bool quitSignalled() { return signalled != 0; }
