#pragma once
/// \file SettingsStore.h
/// A typed settings store in place of the registry: keys form a tree of paths
/// ("Software\Maker\Tool", found whatever the case of their letters), each key
/// holds named values of a type (the registry's numbers: 1 string, 2 expand
/// string, 3 binary, 4 32-bit integer, others as given) and bytes. One SQLite
/// file per root key; every write is committed (WAL journal, synchronous FULL)
/// before it returns, and writers of several processes wait for each other.
///
/// A store file that cannot be opened or fails its integrity check is moved
/// aside (renamed with a ".damaged-<time>" suffix) and the store stays unusable
/// for this process: reads find nothing, writes fail. GUI (owner) thread only.

#include "VynExport.h"

#include <cstdint>
#include <optional>
#include <string>

/// Root keys an application passes to TVynRegistry::Init.
using HKEY = void*;
// NOLINTBEGIN(performance-no-int-to-ptr)
///@{
/// The two root keys: the current user's settings and the machine's. Fixed
/// values that stored settings and callers rely on; they are compared, never
/// dereferenced.
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(std::uintptr_t{0x80000001});
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(std::uintptr_t{0x80000002});
///@}
// NOLINTEND(performance-no-int-to-ptr)

///@{
/// A stored value's type: text, text with variables (read as text), bytes,
/// a 32-bit integer (four bytes, least significant first).
inline constexpr int REG_SZ = 1;
inline constexpr int REG_EXPAND_SZ = 2;
inline constexpr int REG_BINARY = 3;
inline constexpr int REG_DWORD = 4;
///@}

/// One stored value: its type and its bytes.
struct VYN_EXPORT TStoredValue {
    int Type = 0;     ///< REG_SZ, REG_EXPAND_SZ, REG_BINARY or REG_DWORD
    std::string Data; ///< the bytes; text types: Windows-1252 text and its NUL
};

/// Where the store files of the two root keys live: $MAPWRIGHT_USER_SETTINGS
/// else $XDG_CONFIG_HOME/mapwright-settings else ~/.config/mapwright-settings
/// for the current user; $MAPWRIGHT_MACHINE_SETTINGS else
/// /var/lib/mapwright-settings for the machine. Empty for an unknown root.
VYN_EXPORT std::string SettingsStoreFile(HKEY root);

/// The key's id, opening (create: creating every missing key of the path)
/// in the store of the root key. Nothing when the key is missing (no create)
/// or the store is unusable.
[[nodiscard]] VYN_EXPORT std::optional<std::int64_t>
OpenSettingsKey(HKEY root, const std::string& path, bool create);

/// The value of `name` under the key; nothing when there is none or the
/// store is unusable.
[[nodiscard]] VYN_EXPORT std::optional<TStoredValue> ReadSettingsValue(HKEY root, std::int64_t key,
                                                                       const std::string& name);

/// Stores (replacing any earlier value of the name, whatever its type) and
/// reads the value back in the same transaction; true once that transaction
/// has committed with the value as given, false when the store refused.
[[nodiscard]] VYN_EXPORT bool
WriteSettingsValue(HKEY root, std::int64_t key, const std::string& name, const TStoredValue& value);

/// Whether the store of a root key opened and passed its check.
VYN_EXPORT bool SettingsStoreUsable(HKEY root);

/// Forgets the open stores (for tests that move the files).
VYN_EXPORT void CloseSettingsStores();
