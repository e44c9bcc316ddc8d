#pragma once
// How the serial device's control record maps onto termios. For the device
// and its tests; not installed.

#include "SerialDevice.h"

#include <termios.h>

// Puts the record's line settings into a termios (speed, size, parity with
// mark and space, stop bits, RTS/CTS and XON/XOFF flow control, raw mode).
// False for settings the line cannot take (an unknown speed, a size outside
// 5 to 8, an unknown parity or stop-bit value).
bool MapDeviceControl(const TDeviceControl& control, termios& tio);
