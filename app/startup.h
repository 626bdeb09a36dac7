#pragma once

class Platform;

// Gives the running QApplication the program's names, version, desktop file
// name and font (the dialog font, which message boxes use too). Called once,
// right after the QApplication is made.
void setUpApplication();

// Creates the window with its three handlers bound, loads it (selecting
// "Fixed"), shows it, and lets its closing end the program.
void startProgram(Platform& platform);
