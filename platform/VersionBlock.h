#pragma once
/// \file VersionBlock.h
/// The version block a program carries inside its executable file, put there
/// at build time and read back from the file on disk.

#include "VynExport.h"

#include <optional>
#include <string>

/// The block's bytes as built in; nothing when the file cannot be read or
/// carries no block.
[[nodiscard]] VYN_EXPORT std::optional<std::string> ReadVersionBlock(const std::string& executable);

/// The running program's own block.
[[nodiscard]] VYN_EXPORT std::optional<std::string> ReadOwnVersionBlock();
