#pragma once

class Platform;

// Creates the window with its three handlers bound, loads it (selecting
// "Fixed"), shows it, and lets its closing end the program.
void startProgram(Platform& platform);
