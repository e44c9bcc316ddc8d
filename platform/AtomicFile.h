#pragma once
/// \file AtomicFile.h
/// A file written whole or not at all. The bytes go to a temporary file in
/// the target's folder; Commit flushes and syncs it and renames it over the
/// target, so the target is at every moment either the earlier file or the
/// new one complete, also on a full disk or when the program is killed.
/// Without a successful Commit (a failed write, a failed sync, the object
/// destroyed first) the temporary file is removed and the target is left as
/// it was. A new file gets the permissions the umask gives; a replaced one
/// keeps its own. A symbolic link is followed: the file it names is replaced.
/// One thread at a time.

#include "VynExport.h"

#include <cstddef>
#include <string>

/// One file being written whole; see the file's description.
class VYN_EXPORT TAtomicFile {
public:
    /// Nothing opened yet.
    TAtomicFile() = default;
    /// Discards what was not committed.
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    /// Makes the temporary file for `path`; false (with Error()) when it
    /// cannot be made.
    [[nodiscard]] bool Open(const std::string& path);
    /// Appends bytes (buffered); false once any write has failed.
    [[nodiscard]] bool Write(const void* data, std::size_t size);
    /// Appends the text's bytes, as Write(data, size).
    [[nodiscard]] bool Write(const std::string& text) { return Write(text.data(), text.size()); }

    /// Puts the file in place; false (the target untouched) when anything
    /// written could not be stored.
    [[nodiscard]] bool Commit();
    /// Drops what was written; the target stays as it was.
    void Discard();

    /// The system's error code of the first failure.
    int Error() const { return m_error; }

private:
    bool Flush();
    bool Fail(int code);

    std::string m_target;
    std::string m_temporary;
    int m_fd = -1;
    int m_error = 0;
    std::string m_buffer;
};
