#pragma once
/// \file QtText.h
/// Text crossing the boundary between the program (Windows-1252 bytes) and Qt
/// widgets (Unicode).

#include "VynExport.h"

#include <QString>

#include <string>
#include <string_view>

/// Windows-1252 bytes as a Qt string; every byte has a character.
VYN_EXPORT QString ToQString(std::string_view cp1252);

/// Characters without a Windows-1252 byte become '?'.
VYN_EXPORT std::string FromQString(const QString& text);
