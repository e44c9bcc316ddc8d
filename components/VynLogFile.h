#pragma once
/// \class TVynLogfile VynLogFile.h <vyn/VynLogFile.h>
/// TVynLogfile: appends debug records to a text log file, one record per call.
/// A record is an optional prefix (date, time, level, module and line), a
/// four-character marker for the message type (0 "    ", 1 " <- ", 2 " -> ",
/// 3 "wrn ", 4 "ERR ", none for -1 and others) and the text, ended by CR LF.
/// Records are filtered by the logging mode (0 none, 1 errors, 2 errors and
/// warnings, 3 and others all) and by DebugLevel. The file is named after the
/// date or as given, in the per-user data folder or beside the program.
///
/// Each record reaches the file in one append of the whole record (O_APPEND,
/// one write), so records of several threads or processes never mix inside a
/// line; a failed write leaves no partial record behind. Needs no GUI
/// toolkit. One instance per thread; instances share nothing.

#include "VynExport.h"

#include <string>

struct TLocalTime;

class VYN_EXPORT TVynLogfile {
public:
    /// A log that writes nothing until Init and SetLogging.
    TVynLogfile() = default;

    // Published properties; a change affects later records only.
    int DebugLevel = 1;            ///< records above this level are not written
    bool ShowExtraLine = false;    ///< an empty line before a record with a new time
    bool ShowDate = false;         ///< the prefix has the date
    bool ShowTime = true;          ///< the prefix has the time
    bool ShowTimeHund = false;     ///< the time has hundredths of a second
    bool ShowLevel = false;        ///< the prefix has the record's level
    bool ShowLinenr = false;       ///< module and line number
    bool FilenameWithDate = false; ///< the given name gets the date and ".log" added

    /// Stores the file name (empty: a daily file named YYYYMMDD.log) and
    /// chooses the directory: with both folder texts, the per-user data folder
    /// ($XDG_DATA_HOME, else ~/.local/share) + folder1/folder2/, else the
    /// program's directory; creates it with every missing parent. Returns the
    /// directory (ending in '/').
    std::string Init(const char* fileName, const char* folder1, const char* folder2);
    /// The logging mode (see above); 0, writing nothing, until called.
    void SetLogging(int mode);

    /// Writes one record. True also when a filter drops it; false when not
    /// initialised or the file could not be written.
    bool DoWriteLine(const char* module, int line, int type, int level, const char* text);

    ///@{
    /// Formats (printf, at most 999 characters) and writes one record as
    /// DoWriteLine. Left out: the module (empty), the line and the level (0),
    /// the type (0 beside a level, else -1: no marker).

    bool WriteLog(const char* module, int line, int type, int level, const char* format, ...)
        __attribute__((format(printf, 6, 7)));
    bool WriteLog(int type, int level, const char* format, ...)
        __attribute__((format(printf, 4, 5)));
    bool WriteLog(int type, const char* format, ...) __attribute__((format(printf, 3, 4)));
    bool WriteLog(const char* format, ...) __attribute__((format(printf, 2, 3)));
    ///@}

    /// A separator line of equals signs.
    bool WriteLine();
    /// "Date: dd mmm yyyy".
    bool WriteDate();

    /// The path the next record would go to.
    std::string FilePath() const;

private:
    std::string PathFor(const TLocalTime& time) const;

    int m_mode = 0;
    std::string m_fileName;
    std::string m_directory;
    std::string m_lastTime;
    bool m_initialised = false;
};
