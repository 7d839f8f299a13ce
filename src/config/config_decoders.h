// The configuration windows' report rows (I/O options, datum, filters, GPS
// and serial settings), registered with the engine's dispatch.
#pragma once

void RegisterConfigDecoders();
