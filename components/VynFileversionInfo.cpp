#include "VynFileversionInfo.h"

#include "Palette.h"
#include "VersionBlock.h"
#include "VynExport.h"

#include <cctype>
#include <cstring>
#include <iterator>

namespace Vynfileversioninfo {
VYN_EXPORT void Register() {
    RegisterComponents("VYN", {"TVynFileversionInfo"});
}
} // namespace Vynfileversioninfo

std::optional<std::string> QueryVersionValue(const std::string& block, const std::string& key) {
    const std::size_t magic = std::strlen(kVersionBlockMagic) + 1;
    if (block.size() < magic || block.compare(0, magic - 1, kVersionBlockMagic) != 0 ||
        block[magic - 1] != '\0') {
        return std::nullopt;
    }
    std::size_t pos = magic;
    while (pos < block.size()) {
        const std::size_t keyEnd = block.find('\0', pos);
        if (keyEnd == std::string::npos || keyEnd == pos) {
            return std::nullopt; // the end of the records, or a broken block
        }
        const std::size_t valueEnd = block.find('\0', keyEnd + 1);
        if (valueEnd == std::string::npos) {
            return std::nullopt;
        }
        if (block.compare(pos, keyEnd - pos, key) == 0) {
            return block.substr(keyEnd + 1, valueEnd - keyEnd - 1);
        }
        pos = valueEnd + 1;
    }
    return std::nullopt;
}

bool TVynFileversionInfo::GetInfo() {
    return Fill(ReadOwnVersionBlock());
}

bool TVynFileversionInfo::GetInfo(const std::string& executable) {
    return Fill(ReadVersionBlock(executable));
}

bool TVynFileversionInfo::Fill(const std::optional<std::string>& block) {
    std::string* const fields[] = {
        &CompanyName,     &FileDescription,  &FileVersion, &InternalName,   &LegalCopyright,
        &LegalTrademarks, &OriginalFilename, &ProductName, &ProductVersion, &Comments};
    static constexpr const char* kKeys[] = {
        "CompanyName",     "FileDescription",  "FileVersion", "InternalName",   "LegalCopyright",
        "LegalTrademarks", "OriginalFilename", "ProductName", "ProductVersion", "Comments"};
    for (std::string* field : fields) {
        field->clear();
    }
    if (!block || block->compare(0, std::strlen(kVersionBlockMagic), kVersionBlockMagic) != 0) {
        return false;
    }
    // Only the first translation counts; without a table no prefix can be
    // formed and every field stays empty.
    const std::optional<std::string> translation =
        QueryVersionValue(*block, "\\VarFileInfo\\Translation");
    if (!translation || translation->size() < 8 ||
        translation->find_first_not_of("0123456789ABCDEFabcdef") < 8) {
        return true;
    }
    std::string first = translation->substr(0, 8);
    for (char& c : first) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    const std::string prefix = "\\StringFileInfo\\" + first + "\\";
    for (std::size_t i = 0; i < std::size(kKeys); ++i) {
        if (const auto value = QueryVersionValue(*block, prefix + kKeys[i])) {
            *fields[i] = *value;
        }
    }
    return true;
}
