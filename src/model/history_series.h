// What the trends draw from a receiver's history: one quantity as min/max per
// pixel column, and the events worth jumping to. Qt-free; run off the GUI thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "model/history_record.h"

enum class HistoryQuantity {
    FixDimension, Satellites, Pdop, Hdop, Vdop, Tdop, Latitude, Longitude, Altitude,
    ClockBias, BiasRate, BestLevel, MeanLevel, PortState, Count
};

// "Clock bias (ns)" and so on: the caption of a quantity with its unit.
std::string QuantityCaption(HistoryQuantity q);
// The value a sample has for the quantity; NaN when not reported.
double QuantityValue(const HistorySample& s, HistoryQuantity q);

// One pixel column: the smallest and largest value of the samples in it.
struct SeriesColumn {
    double min = NAN, max = NAN; // NaN: no value in the column
};

enum class HistoryEventKind { FixLost, PortLost, PortReopened };
struct HistoryEvent {
    int64_t unixSecond = 0;
    HistoryEventKind kind = HistoryEventKind::FixLost;
};

// What the plot draws of one receiver between from and to (inclusive): the
// quantity's samples split into `columns` equal spans of time, each reduced to
// its min and max, and the events: where a fix was lost (a 2-D or 3-D fix
// became none), the port was lost, or it came back. Made from the day files'
// records as they are read; no sample is kept, so a week of 16 receivers needs
// no more memory than an hour.
struct DecimatedHistory {
    std::vector<SeriesColumn> columns;
    std::vector<HistoryEvent> events;
    size_t samples = 0;
    bool complete = true; // false: cancelled before the end
};
DecimatedHistory ReadDecimated(const std::string& folder, HistoryQuantity q, int64_t from, int64_t to, int columns,
                               const std::atomic<bool>* cancelled = nullptr);
