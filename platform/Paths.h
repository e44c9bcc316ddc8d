#pragma once
/// \file Paths.h
/// Where the running program lives, where per-user data goes, and creating
/// folders. Paths are 8-bit texts with '/' as separator; directories returned
/// here end in '/'.

#include "VynExport.h"

#include <string>

/// The full path of the running program's executable file, or empty when the
/// system cannot say.
VYN_EXPORT std::string ExecutablePath();

/// The directory of the running executable with a trailing '/', or "./" when
/// it cannot be found.
VYN_EXPORT std::string ExeDirectory();

/// The folder of the program's read-only data files: EXE/../share/PROGRAM/
/// when the program is installed (that folder exists), else the executable's
/// own directory (a build tree keeps its data beside the program).
VYN_EXPORT std::string ProgramDataDirectory(const std::string& program);

/// The per-user data folder ($XDG_DATA_HOME when it is absolute, else
/// $HOME/.local/share), without a trailing '/'; empty when neither is set.
VYN_EXPORT std::string UserDataDirectory();

/// Creates a directory and every missing parent (like mkdir -p); false when
/// the directory does not exist afterwards.
VYN_EXPORT bool CreateDirectories(const std::string& path);
