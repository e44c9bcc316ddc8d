#pragma once
/// \class TVynFileversionInfo VynFileversionInfo.h <vyn/VynFileversionInfo.h>
/// TVynFileversionInfo: the ten descriptive strings of the running program's
/// own version block, read from its executable file on disk.
///
/// The version block is built into the executable (platform/VersionBlock):
/// the magic "MWVERSIONBLOCK" and a NUL, then records "key" NUL "value" NUL,
/// ended by an empty key. The key "\VarFileInfo\Translation" holds the
/// translation table, one (language, code page) pair after the other, each as
/// eight upper-case hexadecimal digits ("040904E4"); the strings are under
/// "\StringFileInfo\LLLLCCCC\<name>" with the language and code page in upper-case hexadecimal.
/// Needs no GUI toolkit.

#include "VynExport.h"

#include <optional>
#include <string>

inline constexpr const char* kVersionBlockMagic = "MWVERSIONBLOCK";

class VYN_EXPORT TVynFileversionInfo {
public:
    ///@{
    /// A string of the version block's first translation (Windows-1252),
    /// filled by GetInfo; empty when the block lacks it.
    std::string CompanyName;
    std::string FileDescription;
    std::string FileVersion;
    std::string InternalName;
    std::string LegalCopyright;
    std::string LegalTrademarks;
    std::string OriginalFilename;
    std::string ProductName;
    std::string ProductVersion;
    std::string Comments;
    ///@}

    /// Reads the running program's block. False, with every field empty, when
    /// the executable has none or it cannot be read; true otherwise, also when
    /// keys (or the whole translation table) are missing.
    bool GetInfo();
    /// The same for another executable file.
    bool GetInfo(const std::string& executable);

private:
    bool Fill(const std::optional<std::string>& block);
};

/// The value of a key in a version block; nothing when the key is missing or
/// the block is malformed. Never reads past the block.
[[nodiscard]] VYN_EXPORT std::optional<std::string> QueryVersionValue(const std::string& block,
                                                                      const std::string& key);
