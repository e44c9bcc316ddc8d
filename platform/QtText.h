#pragma once
// Text crossing the boundary between the program (Windows-1252 bytes) and Qt
// widgets (Unicode).

#include <QString>

#include <string>
#include <string_view>

QString ToQString(std::string_view cp1252);

// Characters without a Windows-1252 byte become '?'.
std::string FromQString(const QString& text);
