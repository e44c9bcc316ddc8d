#include "VynLogFile.h"

#include "AppendFile.h"
#include "LineEnd.h"
#include "LocalTime.h"
#include "Palette.h"
#include "Paths.h"
#include "VynExport.h"
#include "VynUtil.h"

#include <cstdarg>
#include <ctime>

namespace Vynlogfile {
VYN_EXPORT void Register() {
    RegisterComponents("VYN", {"TVynLogfile"});
}
} // namespace Vynlogfile

namespace {

// "dd mmm yyyy" with the locale's short month name.
std::string DateText(const TLocalTime& t) {
    std::tm parts{};
    parts.tm_mday = static_cast<int>(t.Day);
    parts.tm_mon = static_cast<int>(t.Month) - 1;
    parts.tm_year = static_cast<int>(t.Year) - 1900;
    char month[32] = {};
    std::strftime(month, sizeof month, "%b", &parts);
    return FormatText("%02u %s %04u", t.Day, month, t.Year);
}

const char* Marker(int type) {
    switch (type) {
    case 0: return "    ";
    case 1: return " <- ";
    case 2: return " -> ";
    case 3: return "wrn ";
    case 4: return "ERR ";
    default: return "";
    }
}

bool Wanted(int mode, int type) {
    switch (mode) {
    case 0: return false;
    case 1: return type == 4;
    case 2: return type == 4 || type == 3;
    default: return true;
    }
}

} // namespace

std::string TVynLogfile::Init(const char* fileName, const char* folder1, const char* folder2) {
    // Paths are taken whole: this platform has no 259-character limit, and
    // a path the system refuses fails the write instead of being cut.
    m_fileName = fileName != nullptr ? fileName : "";
    const std::string f1 = folder1 != nullptr ? folder1 : "";
    const std::string f2 = folder2 != nullptr ? folder2 : "";
    std::string directory;
    if (!f1.empty() && !f2.empty()) {
        const std::string base = UserDataDirectory();
        if (!base.empty()) {
            directory = base + "/" + f1 + "/" + f2 + "/";
        }
    }
    if (directory.empty()) {
        directory = ExeDirectory();
    }
    m_directory = directory;
    static_cast<void>(CreateDirectories(m_directory)); // a failure shows at the first write
    m_initialised = true;
    return m_directory;
}

void TVynLogfile::SetLogging(int mode) {
    m_mode = mode;
}

std::string TVynLogfile::FilePath() const {
    return PathFor(GetLocalTime());
}

std::string TVynLogfile::PathFor(const TLocalTime& t) const {
    const std::string date = FormatText("%04u%02u%02u", t.Year, t.Month, t.Day);
    std::string path;
    if (m_fileName.empty()) {
        path = m_directory + date + ".log";
    } else if (FilenameWithDate) {
        path = m_directory + m_fileName + date + ".log";
    } else {
        path = m_directory + m_fileName;
    }
    return path;
}

bool TVynLogfile::DoWriteLine(const char* module, int line, int type, int level, const char* text) {
    if (!m_initialised) {
        return false;
    }
    if (!Wanted(m_mode, type) || level > DebugLevel) {
        return true;
    }
    const TLocalTime now = GetLocalTime();
    const std::string time = TimeText(now, ShowTimeHund);
    std::string message = text != nullptr ? text : "";
    StripLineEnd(message);
    message += "\r\n";

    // The whole record is built first and goes to the file in one write.
    std::string record;
    std::string newLastTime = m_lastTime;
    if (ShowExtraLine) {
        const std::string key = time.substr(0, ShowTimeHund ? 11 : 8);
        if (key != m_lastTime) {
            record += "\r\n";
            newLastTime = key;
        }
    }
    if (ShowDate) {
        record += FormatText("%s  ", DateText(now).c_str());
    }
    if (ShowTime) {
        record += time + "  ";
    }
    if (ShowLevel) {
        record += FormatText("[%d]  ", level);
    }
    if (ShowLinenr) {
        record +=
            FormatText("%-12s %5u ", module != nullptr ? module : "", static_cast<unsigned>(line));
    }
    record += Marker(type);
    record += message;

    const bool ok = AppendRecord(PathFor(now), record);
    if (ok) {
        m_lastTime = newLastTime;
    }
    return ok;
}

bool TVynLogfile::WriteLog(const char* module, int line, int type, int level, const char* format,
                           ...) {
    VYN_FORMAT_TEXT(text, format);
    return DoWriteLine(module, line, type, level, text.c_str());
}

bool TVynLogfile::WriteLog(int type, int level, const char* format, ...) {
    VYN_FORMAT_TEXT(text, format);
    return DoWriteLine("", 0, type, level, text.c_str());
}

bool TVynLogfile::WriteLog(int type, const char* format, ...) {
    VYN_FORMAT_TEXT(text, format);
    return DoWriteLine("", 0, type, 0, text.c_str());
}

bool TVynLogfile::WriteLog(const char* format, ...) {
    VYN_FORMAT_TEXT(text, format);
    return DoWriteLine("", 0, -1, 0, text.c_str());
}

bool TVynLogfile::WriteLine() {
    return WriteLog("============", 0, 0, 0,
                    "==================================================\r\n");
}

bool TVynLogfile::WriteDate() {
    return WriteLog(0, "Date: %s", DateText(GetLocalTime()).c_str());
}
