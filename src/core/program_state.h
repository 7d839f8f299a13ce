// The whole program back to where it is before start-up: every window
// destroyed, the demo receivers stopped, and each module's program-wide
// state reset by its owner. Tests run it between tests; a new global is
// reset by adding it to its owner's reset, never to a list in the tests.
#pragma once

void ResetProgramState();
