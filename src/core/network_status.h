// The status line's word on a network port's connection: connecting,
// connected, or why it could not be made or was lost.
#pragma once

// Called for an open slot after each poll; writes only when the state changed.
void ReportConnectionState(int slot);
