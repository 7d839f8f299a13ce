// The program-wide state of the plain layers (platform, link, model) back to
// its start values: hooks removed, every port closed and forgotten, transmit
// queues empty with their default pacing, no COM mapping, the system clock,
// no reports. A new global of these layers is reset here, by its owner's reset.
#pragma once

void ResetBaseState();
