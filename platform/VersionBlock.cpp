#include "VersionBlock.h"

#include "Paths.h"
#include "internal/ElfSection.h"

#include <cstring>
#include <elf.h>
#include <fstream>

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

std::optional<std::string> ReadVersionBlock(const std::string& executable) {
    return ReadElfSection(executable, kVersionSectionName);
}

std::optional<std::string> ReadOwnVersionBlock() {
    // The file the process was started from, even when it has been renamed
    // since.
    return ReadVersionBlock("/proc/self/exe");
}
