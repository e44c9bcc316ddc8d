#include "Paths.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

std::string ExecutablePath() {
    std::string path(4096, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0) {
            return {};
        }
        if (static_cast<std::size_t>(n) < path.size()) {
            path.resize(static_cast<std::size_t>(n));
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::string ExeDirectory() {
    const std::string path = ExecutablePath();
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

std::string ProgramDataDirectory(const std::string& program) {
    const std::string exeDir = ExeDirectory();
    const std::string installed = exeDir + "../share/" + program + "/";
    return IsDirectory(installed) ? installed : exeDir;
}

std::string UserDataDirectory() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        return std::string(home) + "/.local/share";
    }
    return {};
}

bool CreateDirectories(const std::string& path) {
    // Every prefix that ends before a separator (not the leading one), then
    // the whole path; errors such as "exists already" are no concern here.
    for (std::size_t i = 1; i < path.size(); ++i) {
        if (path[i] == '/') {
            ::mkdir(path.substr(0, i).c_str(), 0777);
        }
    }
    ::mkdir(path.c_str(), 0777);
    return IsDirectory(path);
}
