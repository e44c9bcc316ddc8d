#include "AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kBufferSize = std::size_t{64} * 1024;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path names, through any symbolic links; the path itself when
// it names nothing yet.
std::string Resolved(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        return path;
    }
    char buffer[PATH_MAX];
    if (::realpath(path.c_str(), buffer) != nullptr) {
        return buffer;
    }
    return path;
}

bool WriteFully(int fd, const char* data, std::size_t size, int& error) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

TAtomicFile::~TAtomicFile() {
    Discard();
}

bool TAtomicFile::Fail(int code) {
    if (m_error == 0) {
        m_error = code;
    }
    return false;
}

bool TAtomicFile::Open(const std::string& path) {
    Discard();
    m_error = 0;
    m_target = Resolved(path);
    const std::string folder = FolderOf(m_target);
    const std::string base = m_target.substr(m_target.rfind('/') + 1);
    if (base.empty()) {
        return Fail(EISDIR);
    }
    struct stat existing {};
    const bool replaces = ::stat(m_target.c_str(), &existing) == 0;
    if (replaces && S_ISDIR(existing.st_mode)) {
        return Fail(EISDIR);
    }
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = folder;
        name.append("/.").append(base).append(".");
        name.append(std::to_string(random() % 1000000)).append(".tmp");
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            m_fd = fd;
            m_temporary = std::move(name);
            // The file it replaces keeps its permissions (as far as they can
            // be given; a failure leaves the umask's).
            if (replaces) {
                static_cast<void>(::fchmod(m_fd, existing.st_mode & 07777));
            }
            m_buffer.reserve(kBufferSize);
            return true;
        }
        if (errno != EEXIST) {
            return Fail(errno);
        }
    }
    return Fail(EEXIST);
}

bool TAtomicFile::Flush() {
    if (m_fd < 0 || m_error != 0) {
        return Fail(m_fd < 0 ? EBADF : m_error);
    }
    int error = 0;
    const bool ok = WriteFully(m_fd, m_buffer.data(), m_buffer.size(), error);
    m_buffer.clear();
    return ok || Fail(error);
}

bool TAtomicFile::Write(const void* data, std::size_t size) {
    if (m_fd < 0 || m_error != 0) {
        return Fail(m_fd < 0 ? EBADF : m_error);
    }
    const auto* bytes = static_cast<const char*>(data);
    if (m_buffer.size() + size > kBufferSize && !Flush()) {
        return false;
    }
    if (size >= kBufferSize) {
        int error = 0;
        return WriteFully(m_fd, bytes, size, error) || Fail(error);
    }
    m_buffer.append(bytes, size);
    return true;
}

bool TAtomicFile::Commit() {
    if (!Flush() || ::fsync(m_fd) != 0) {
        Fail(errno);
        Discard();
        return false;
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        Fail(errno);
        Discard();
        return false;
    }
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        Fail(errno);
        Discard();
        return false;
    }
    m_temporary.clear();
    // The rename itself reaches the disk with the folder.
    const int folder = ::open(FolderOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        static_cast<void>(::fsync(folder)); // the file is in place either way
        ::close(folder);
    }
    return true;
}

void TAtomicFile::Discard() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.empty()) {
        ::unlink(m_temporary.c_str());
        m_temporary.clear();
    }
    m_buffer.clear();
}
