#pragma once

// Gives the running QApplication the program's names, version, desktop file
// name and font (the dialog font, which message boxes use too). Called once,
// right after the QApplication is made.
void setUpApplication();
