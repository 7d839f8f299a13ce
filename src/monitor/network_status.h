// Network ports' connections: the status line says connecting, connected, or
// why the connection failed or dropped; a port that keeps failing is retried
// less often, up to every 5 s.
#pragma once

// Called for an open slot after each poll; acts only when the connection's
// state changed (connecting, connected).
void FollowConnection(int slot);
// Called when a slot was lost or reopened: a lost network port's reason is
// shown and its next try put off further.
void NoteLinkChange(int slot);
// Forgets the connection states seen.
void ResetNetworkStatus();
