// The program's spine: start-up in its fixed order, the main loop, and shutdown.
#pragma once

#include "config/CommandLine.h"

// Start-up with the settings in force (window, vsync, volumes) and, from the command line, --mute.
void initApplication(const LaunchOptions& options = {});
void updateFrame();
// The frame's passes, the open screen over them, then the buffer swap (which also runs the input callbacks).
void renderFrame();
void shutdownApplication();

// Runs the whole program the way main does: reads the settings file, lets the command line override it, starts
// up and runs the main loop; returns the exit status instead of calling exit.
int runApplication(const LaunchOptions& options = {});

// The console "pause" before a fatal exit: a prompt, and a wait for one key when a person is at the terminal.
void consolePause();
