#pragma once
// How the version block is kept on this platform: an ELF section of the
// executable. For the build's generator and the tests; not installed.

#include <optional>
#include <string>

inline constexpr const char* kVersionSectionName = ".mwversion";

// The bytes of an ELF file's named section, if it has one.
std::optional<std::string> ReadElfSection(const std::string& path, const std::string& name);
