#pragma once
/// \file SerialPorts.h
/// The serial ports present on this machine, by their device names. Texts are
/// Windows-1252, like all the library's texts.

#include "VynExport.h"

#include <string>
#include <vector>

/// One serial port of this machine.
struct VYN_EXPORT TPortEntry {

    std::string Name;    ///< the device's name, as a serial port opens it (ttyUSB0)
    std::string Details; ///< what the system knows of it, one item a line; may be empty
};

/// The present serial ports, in the system's order: ttyS0, ttyUSB0, ttyACM0,
/// ... Details names the description, manufacturer, USB vendor:product and
/// serial number where the system knows them. False when the system cannot
/// list its ports.
[[nodiscard]] VYN_EXPORT bool ListSerialPorts(std::vector<TPortEntry>& ports);
