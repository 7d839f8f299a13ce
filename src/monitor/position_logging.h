// The data logger's part in every position report, of the display port and
// of the monitored ports: the "not outputting bias" warning, the record a
// report paces, and the "Bias (ns) " box following whether the display
// port's reports carry a bias.
#pragma once

class QObject;

// Subscribes the logger to Receivers()' position announcements for as long
// as context lives, with or without the logging window.
void LogPositionReports(QObject* context);
