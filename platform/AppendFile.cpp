#include "AppendFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool AppendRecord(const std::string& path, const std::string& record) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    const ssize_t written = ::write(fd, record.data(), record.size());
    bool ok = written == static_cast<ssize_t>(record.size());
    if (!ok && written > 0) {
        // A partial record: take it back if nothing was appended after it, so
        // that a later record does not run into it.
        const off_t end = ::lseek(fd, 0, SEEK_CUR);
        struct stat st {};
        if (end >= written && ::fstat(fd, &st) == 0 && st.st_size == end) {
            [[maybe_unused]] const int rc = ::ftruncate(fd, end - written);
        }
    }
    if (::close(fd) != 0) {
        ok = false;
    }
    return ok;
}
