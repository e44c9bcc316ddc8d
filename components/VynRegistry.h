#pragma once
// TVynRegistry: an application's settings as named values under keys below
// one base path of a root key (HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE), kept in
// the settings store (platform/SettingsStore). Reads never fail towards the
// caller: a missing, unreadable or mistyped value gives the caller's default
// (0 bytes for binary data); a read never creates a key. A write creates every
// missing key of its path; when the store refuses a value, ERegistryException
// ("Failed to set data for '<name>'") reaches the caller.
//
// The results of ReadString, ReadInt and ReadBinary are shared by all
// instances (a second ReadString overwrites the text the first returned), so
// use from one (the GUI) thread only.

#include "SettingsStore.h"
#include "VynExport.h"

#include <stdexcept>
#include <string>

class VYN_EXPORT ERegistryException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class VYN_EXPORT TVynRegistry {
public:
    char BasePath[200] = {};
    HKEY RootKey = nullptr;

    // Base path = path (at most 199 characters) + "\sub1" + "\sub2" for the
    // sub-paths that are not empty, kept to 199 characters.
    void Init(HKEY root, const char* path, const char* subPath1, const char* subPath2);

    const char* ReadString(const char* subKey, const char* name, const char* defaultValue);
    int ReadInt(const char* subKey, const char* name, int defaultValue);
    int ReadBinary(const char* subKey, const char* name, unsigned char* buffer, int size);

    void WriteString(const char* subKey, const char* name, const char* value);
    void WriteInt(const char* subKey, const char* name, int value);
    void WriteBinary(const char* subKey, const char* name, const unsigned char* data, int size);

private:
    std::string FullKey(const char* subKey) const;
    void Write(const char* subKey, const char* name, int type, const std::string& data);
};
