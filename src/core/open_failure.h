// Why a port did not open, told the user in the box and on stderr alike.
#pragma once

#include <string>

#include <QString>

#include "platform/serial_device.h"

// "Could not initialize COM%d." then the device path and the system's reason,
// then for a permission refusal how to get access.
std::string OpenFailureText(int com, const std::string& path, const OpenError& error);
// Shows the text in a box with the title and prints it on stderr.
void ReportOpenFailure(int com, const OpenError& error, const QString& title);
