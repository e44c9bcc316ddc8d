#include "VynFileversionInfo.h"

#include "Palette.h"
#include "VynUtil.h"

#include <cctype>
#include <cstring>
#include <elf.h>
#include <fstream>
#include <iterator>
#include <vector>

namespace Vynfileversioninfo {
void Register() {
    RegisterComponents("VYN", {"TVynFileversionInfo"});
}
} // namespace Vynfileversioninfo

namespace {

template <class T> bool ReadAt(std::ifstream& in, std::uint64_t offset, T& value) {
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(reinterpret_cast<char*>(&value), sizeof value);
    return static_cast<bool>(in);
}

} // namespace

std::optional<std::string> ReadElfSection(const std::string& path, const std::string& name) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    Elf64_Ehdr header{};
    if (!ReadAt(in, 0, header) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
        header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_shentsize != sizeof(Elf64_Shdr) ||
        header.e_shstrndx >= header.e_shnum) {
        return std::nullopt;
    }
    Elf64_Shdr names{};
    if (!ReadAt(in, header.e_shoff + std::uint64_t{header.e_shstrndx} * sizeof(Elf64_Shdr),
                names)) {
        return std::nullopt;
    }
    for (std::uint16_t i = 0; i < header.e_shnum; ++i) {
        Elf64_Shdr section{};
        if (!ReadAt(in, header.e_shoff + std::uint64_t{i} * sizeof(Elf64_Shdr), section)) {
            return std::nullopt;
        }
        if (section.sh_name >= names.sh_size || section.sh_type == SHT_NOBITS) {
            continue;
        }
        in.seekg(static_cast<std::streamoff>(names.sh_offset + section.sh_name));
        std::string sectionName;
        std::getline(in, sectionName, '\0');
        if (sectionName != name) {
            continue;
        }
        if (section.sh_size > (1u << 20)) {
            return std::nullopt; // no version block is that large
        }
        std::string bytes(section.sh_size, '\0');
        in.seekg(static_cast<std::streamoff>(section.sh_offset));
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!in) {
            return std::nullopt;
        }
        return bytes;
    }
    return std::nullopt;
}

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
    return GetInfo("/proc/self/exe");
}

bool TVynFileversionInfo::GetInfo(const std::string& executable) {
    std::string* const fields[] = {
        &CompanyName,     &FileDescription,  &FileVersion, &InternalName,   &LegalCopyright,
        &LegalTrademarks, &OriginalFilename, &ProductName, &ProductVersion, &Comments};
    static constexpr const char* kKeys[] = {
        "CompanyName",     "FileDescription",  "FileVersion", "InternalName",   "LegalCopyright",
        "LegalTrademarks", "OriginalFilename", "ProductName", "ProductVersion", "Comments"};
    for (std::string* field : fields) {
        field->clear();
    }
    const std::optional<std::string> block = ReadElfSection(executable, kVersionSectionName);
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
