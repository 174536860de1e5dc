// The program's spine: start-up in its fixed order, the main loop, and shutdown.
#pragma once

void initApplication();
void updateFrame();
void renderFrame();
void shutdownApplication();

// Runs the whole program the way main does; returns the exit status instead of calling exit.
int runApplication();

// The console "pause" before a fatal exit: a prompt, and a wait for one key when a person is at the terminal.
void consolePause();
