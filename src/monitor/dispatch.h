// The report dispatch: binds report ids (and 0x8F sub-ids) to their decoders.
// Group A decoders run for the display port and every monitored port; group B
// decoders for the display port only.
#pragma once

#include <cstdint>
#include <vector>

#include "link/port_table.h"

using ReportDecoder = void (*)(PortRecord& port);

enum class ReportGroup { A, B };

constexpr int kNoSubId = -1;

struct DispatchRow {
    int id = 0;
    int subId = kNoSubId; // for id 0x8F: the first data byte
    ReportDecoder decoder = nullptr;
    ReportGroup group = ReportGroup::A;
};

// Called by PollPort for every completed packet of an open slot.
void DispatchReport(PortRecord& port);

// Adds a row, or replaces the row of the same id and sub-id, until the table is restored.
void RegisterDecoder(const DispatchRow& row);
// The table as it is now.
const std::vector<DispatchRow>& DispatchTable();
// Back to the engine's own rows.
void RestoreDispatchTable();
// Those rows and no recorder hooks.
void ResetDispatch();

// Raw recorder: given the id, the data and its length, for every display-port
// packet while RawRecordingOn. Null until the recorder is installed.
extern void (*RawPacketHook)(int id, const uint8_t* data, uint32_t length);
// Closes the recording file at program end; null until the recorder is installed.
extern void (*CloseRawRecordingHook)();
