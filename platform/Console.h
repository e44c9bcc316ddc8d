#pragma once
#include "VynExport.h"
// The program's standard streams.

// Whether standard output goes to a terminal (not a file or a pipe).
VYN_EXPORT bool StandardOutputIsTerminal();
