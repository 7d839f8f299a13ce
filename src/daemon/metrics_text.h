// The Prometheus text exposition (version 0.0.4) of every port's snapshot
// and alarms: one family after another, each with its HELP and TYPE, every
// sample labelled with port and device. Absent values give no sample.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "daemon/alarms.h"
#include "daemon/receiver_snapshot.h"

struct PortMetrics {
    ReceiverSnapshot receiver;
    std::array<AlarmState, kAlarmKinds> alarms{};
};

inline constexpr char kMetricsContentType[] = "text/plain; version=0.0.4; charset=utf-8";

// The whole page; version goes into the build-info sample.
std::string MetricsText(const std::vector<PortMetrics>& ports, const std::string& version);
