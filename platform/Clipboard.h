#pragma once
/// \file Clipboard.h
/// The system clipboard for 8-bit text. A text is offered twice: as
/// text/plain in UTF-8 for every program, and as the original Windows-1252
/// bytes under text/plain;charset=windows-1252 for programs that want them.
/// GUI thread only; needs a QGuiApplication.

#include "VynExport.h"

#include <optional>
#include <string>
#include <string_view>

/// The format that carries the Windows-1252 bytes.
inline constexpr const char* kCp1252MimeType = "text/plain;charset=windows-1252";

/// Places the text on the clipboard; false when there is no clipboard.
VYN_EXPORT bool SetClipboardText(std::string_view cp1252);

/// The clipboard's text as Windows-1252: the 8-bit format when it is there,
/// else text/plain converted; nothing when the clipboard holds no text.
[[nodiscard]] VYN_EXPORT std::optional<std::string> GetClipboardText();
