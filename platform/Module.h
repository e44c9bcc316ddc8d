#pragma once
/// \file Module.h
/// Loading a part of a program only when it is needed: a shared module
/// opened at run time, whose function is looked up by name. A module once
/// opened stays loaded until the process ends. Any thread.

#include "VynExport.h"

#include <string>

/// Opens the module at `path` (loading what it needs) and returns the
/// address of its function `name` (declared `extern "C"` there); nullptr,
/// with the system's reason in `error`, when the module cannot be opened or
/// has no such function.
[[nodiscard]] VYN_EXPORT void* LoadModuleFunction(const std::string& path, const char* name,
                                                  std::string& error);
