#pragma once
/// \class TVynRegistry VynRegistry.h <vyn/VynRegistry.h>
/// TVynRegistry: an application's settings as named values under keys below
/// one base path of a root key (HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE), kept in
/// the settings store (platform/SettingsStore). Reads never fail towards the
/// caller: a missing, unreadable or mistyped value gives the caller's default
/// (0 bytes for binary data); a read never creates a key. A write creates every
/// missing key of its path; when the store refuses a value, ERegistryException
/// ("Failed to set data for '<name>'") reaches the caller.
///
/// The results of ReadString, ReadInt and ReadBinary are shared by all
/// instances (a second ReadString overwrites the text the first returned), so
/// use from one (the GUI) thread only.

#include "SettingsStore.h"
#include "VynExport.h"

#include <stdexcept>
#include <string>

/// A write the settings store refused: "Failed to set data for '<name>'".
class VYN_EXPORT ERegistryException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class VYN_EXPORT TVynRegistry {
public:
    char BasePath[200] = {}; ///< the keys' base path, set by Init
    HKEY RootKey = nullptr;  ///< the root key, set by Init

    /// Base path = path (at most 199 characters) + "\sub1" + "\sub2" for the
    /// sub-paths that are not empty, kept to 199 characters.
    void Init(HKEY root, const char* path, const char* subPath1, const char* subPath2);

    /// The text value `name` under BasePath\\subKey, or `defaultValue`; valid
    /// until the next ReadString of any instance.
    const char* ReadString(const char* subKey, const char* name, const char* defaultValue);
    /// The 32-bit value `name`, or `defaultValue`.
    int ReadInt(const char* subKey, const char* name, int defaultValue);
    /// Copies the binary value `name` into `buffer` when it fits in `size`
    /// bytes; returns the bytes copied (0 when missing, mistyped or too long).
    int ReadBinary(const char* subKey, const char* name, unsigned char* buffer, int size);

    ///@{
    /// Stores a value (text, 32-bit, `size` bytes) as `name` under
    /// BasePath\\subKey, replacing any earlier one; returns once it is
    /// committed. Throws ERegistryException when the store refuses.
    void WriteString(const char* subKey, const char* name, const char* value);
    void WriteInt(const char* subKey, const char* name, int value);
    void WriteBinary(const char* subKey, const char* name, const unsigned char* data, int size);
    ///@}

private:
    std::string FullKey(const char* subKey) const;
    void Write(const char* subKey, const char* name, int type, const std::string& data);
};
