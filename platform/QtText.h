#pragma once
// Text crossing the boundary between the program (Windows-1252 bytes) and Qt
// widgets (Unicode).

#include "VynExport.h"

#include <QString>

#include <string>
#include <string_view>

VYN_EXPORT QString ToQString(std::string_view cp1252);

// Characters without a Windows-1252 byte become '?'.
VYN_EXPORT std::string FromQString(const QString& text);
