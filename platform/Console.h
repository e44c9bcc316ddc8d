#pragma once
/// \file Console.h
/// The program's standard streams.

#include "VynExport.h"

/// Whether standard output goes to a terminal (not a file or a pipe).
VYN_EXPORT bool StandardOutputIsTerminal();
