#pragma once

// Puts the test on a session bus of its own, so that it never speaks to the user's desktop.
// Call it first in main. Unless RANGEUR_TEST_PRIVATE_BUS=1 says the process already runs under
// dbus-run-session (as ctest starts it), the process starts itself again under
// dbus-run-session with busConfig and never returns; it ends the process when that fails.
void runOnPrivateSessionBus(char *argv[], const char *busConfig);
