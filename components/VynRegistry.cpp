#include "VynRegistry.h"

#include "Palette.h"
#include "VynExport.h"
#include "VynUtil.h"

#include <algorithm>
#include <cstring>

namespace Vynregistry {
VYN_EXPORT void Register() {
    RegisterComponents("VYN", {"TVynRegistry"});
}
} // namespace Vynregistry

namespace {

// The results shared by all instances.
char g_stringResult[1000];
int g_intResult = 0;
int g_binaryCount = 0;

void SetStringResult(const char* text, std::size_t length) {
    const std::size_t n = std::min(length, sizeof g_stringResult - 1);
    std::memcpy(g_stringResult, text, n);
    g_stringResult[n] = '\0';
}

} // namespace

void TVynRegistry::Init(HKEY root, const char* path, const char* subPath1, const char* subPath2) {
    std::string base = path != nullptr ? std::string(path).substr(0, 199) : std::string();
    for (const char* sub : {subPath1, subPath2}) {
        if (sub != nullptr && sub[0] != '\0') {
            base += FormatText("\\%s", sub);
        }
    }
    base.resize(std::min(base.size(), sizeof BasePath - 1));
    std::memcpy(BasePath, base.data(), base.size());
    BasePath[base.size()] = '\0';
    RootKey = root;
}

std::string TVynRegistry::FullKey(const char* subKey) const {
    return FormatText("%s\\%s", BasePath, subKey != nullptr ? subKey : "");
}

const char* TVynRegistry::ReadString(const char* subKey, const char* name,
                                     const char* defaultValue) {
    const char* const fallback = defaultValue != nullptr ? defaultValue : "";
    SetStringResult(fallback, std::strlen(fallback));
    if (const auto key = OpenSettingsKey(RootKey, FullKey(subKey), false)) {
        const auto value = ReadSettingsValue(RootKey, *key, name != nullptr ? name : "");
        if (value && (value->Type == REG_SZ || value->Type == REG_EXPAND_SZ)) {
            // The text up to its first NUL; a wrong type keeps the default.
            const std::size_t end = value->Data.find('\0');
            SetStringResult(value->Data.data(),
                            end == std::string::npos ? value->Data.size() : end);
        } else if (!value) {
            SetStringResult("", 0); // a missing value reads as empty
        }
    }
    if (g_stringResult[0] == '\0') {
        SetStringResult(fallback, std::strlen(fallback));
    }
    return g_stringResult;
}

int TVynRegistry::ReadInt(const char* subKey, const char* name, int defaultValue) {
    g_intResult = defaultValue;
    if (const auto key = OpenSettingsKey(RootKey, FullKey(subKey), false)) {
        const auto value = ReadSettingsValue(RootKey, *key, name != nullptr ? name : "");
        if (value && value->Type == REG_DWORD && value->Data.size() == 4) {
            const auto* b = reinterpret_cast<const unsigned char*>(value->Data.data());
            g_intResult = static_cast<int>(static_cast<std::uint32_t>(b[0]) |
                                           (static_cast<std::uint32_t>(b[1]) << 8) |
                                           (static_cast<std::uint32_t>(b[2]) << 16) |
                                           (static_cast<std::uint32_t>(b[3]) << 24));
        }
    }
    return g_intResult;
}

int TVynRegistry::ReadBinary(const char* subKey, const char* name, unsigned char* buffer,
                             int size) {
    g_binaryCount = 0;
    if (const auto key = OpenSettingsKey(RootKey, FullKey(subKey), false)) {
        const auto value = ReadSettingsValue(RootKey, *key, name != nullptr ? name : "");
        const bool refusedType = value && (value->Type == REG_SZ || value->Type == REG_EXPAND_SZ ||
                                           value->Type == REG_DWORD);
        if (value && !refusedType && size >= 0 &&
            value->Data.size() <= static_cast<std::size_t>(size)) {
            // Binary data: no terminator.
            std::copy(value->Data.begin(), value->Data.end(), buffer);
            g_binaryCount = static_cast<int>(value->Data.size());
        }
    }
    return g_binaryCount;
}

void TVynRegistry::Write(const char* subKey, const char* name, int type, const std::string& data) {
    const std::string valueName = name != nullptr ? name : "";
    if (SettingsStoreFile(RootKey).empty()) {
        return; // no root (Init not called): nothing to write to
    }
    // A write returns only once the value has committed as written (the
    // store reads it back inside the writing transaction, so a newer value
    // of another process is no failure); a store that refuses the key or the
    // value (damaged, read-only, a full disk, held by another process too
    // long) raises the error.
    const auto key = OpenSettingsKey(RootKey, FullKey(subKey), true);
    const TStoredValue value{type, data};
    if (!key || !WriteSettingsValue(RootKey, *key, valueName, value)) {
        throw ERegistryException(FormatText("Failed to set data for '%s'", valueName.c_str()));
    }
}

void TVynRegistry::WriteString(const char* subKey, const char* name, const char* value) {
    const std::string text = value != nullptr ? value : "";
    Write(subKey, name, REG_SZ, text + std::string(1, '\0'));
}

void TVynRegistry::WriteInt(const char* subKey, const char* name, int value) {
    const auto u = static_cast<std::uint32_t>(value);
    const char bytes[4] = {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
                           static_cast<char>((u >> 16) & 0xFF), static_cast<char>(u >> 24)};
    Write(subKey, name, REG_DWORD, std::string(bytes, 4));
}

void TVynRegistry::WriteBinary(const char* subKey, const char* name, const unsigned char* data,
                               int size) {
    Write(subKey, name, REG_BINARY,
          std::string(reinterpret_cast<const char*>(data),
                      static_cast<std::size_t>(std::max(size, 0))));
}
