#pragma once

// The application title, on the window and on every message box.
#define CORVATTA_TITLE "Corvatta"
#define CORVATTA_VERSION "1.00"
// Desktop entry and AppStream id.
#define CORVATTA_APP_ID "io.github.corvatta.Corvatta"
