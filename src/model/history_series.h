// What the trends draw from a receiver's history: one quantity as min/max per
// pixel column, and the events worth jumping to. Qt-free; run off the GUI thread.
#pragma once

#include <cstdint>
#include <span>
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

// Samples (oldest first) between from and to split into `columns` equal
// spans of time, each reduced to its min and max.
std::vector<SeriesColumn> DecimateSeries(std::span<const HistorySample> samples, HistoryQuantity q, int64_t from,
                                         int64_t to, int columns);

enum class HistoryEventKind { FixLost, PortLost, PortReopened };
struct HistoryEvent {
    int64_t unixSecond = 0;
    HistoryEventKind kind = HistoryEventKind::FixLost;
};
// Where a fix was lost (a 2-D or 3-D fix became none), the port was lost, or it came back.
std::vector<HistoryEvent> HistoryEvents(std::span<const HistorySample> samples);

// The sample at a second (the last at or before it, within `within` seconds), or null.
const HistorySample* SampleAt(std::span<const HistorySample> samples, int64_t unixSecond, int64_t within = 2);
