#pragma once
/// \file AppendFile.h
/// Appending whole records to a file that several threads and processes may
/// append to at once.

#include "VynExport.h"

#include <string>

/// Appends `record` to the file at `path` (created when missing) in one
/// write, so records of different writers never mix. A write cut short (a
/// full disk) is taken back when nothing was appended after it. False when
/// the file cannot be opened or the record was not written whole.
[[nodiscard]] VYN_EXPORT bool AppendRecord(const std::string& path, const std::string& record);
