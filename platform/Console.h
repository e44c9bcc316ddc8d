#pragma once
// The program's standard streams.

// Whether standard output goes to a terminal (not a file or a pipe).
bool StandardOutputIsTerminal();
