#include "VynFileversionInfo.h"

#include "internal/ElfSection.h"

#include "support/Process.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

std::string Record(const std::string& key, const std::string& value) {
    return key + std::string(1, '\0') + value + std::string(1, '\0');
}

std::string Block(const std::string& records) {
    return std::string(kVersionBlockMagic) + std::string(1, '\0') + records + std::string(1, '\0');
}

// A copy of a small system program with the block in its version section.
std::string ExecutableWith(const TempDir& dir, const std::string& name, const std::string& block) {
    const std::string exe = dir.Path() + "/" + name;
    std::filesystem::copy_file("/bin/true", exe);
    const std::string data = dir.Write(name + ".block", block);
    const ProcessResult r = RunProcess(
        {"/usr/bin/objcopy", "--add-section", std::string(kVersionSectionName) + "=" + data, exe});
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    return exe;
}

TEST(FileversionInfo, ReadsTheProgramsOwnBlockFromItsFile) {
    TVynFileversionInfo info;
    ASSERT_TRUE(info.GetInfo(MAPWRIGHT_EXE));
    EXPECT_EQ(info.ProductName, "Mapwright");
    EXPECT_FALSE(info.ProductVersion.empty());
    EXPECT_EQ(info.FileVersion, info.ProductVersion);
    EXPECT_EQ(info.OriginalFilename, "mapwright");
    const std::string company = info.CompanyName;
    ASSERT_TRUE(info.GetInfo(MAPWRIGHT_EXE)); // twice: the same fields
    EXPECT_EQ(info.CompanyName, company);

    // The test program itself has no block: false, and nothing survives.
    EXPECT_FALSE(info.GetInfo());
    EXPECT_EQ(info.ProductName, "");
    EXPECT_EQ(info.CompanyName, "");
    EXPECT_FALSE(info.GetInfo("/nonexistent/program"));
}

TEST(FileversionInfo, OnlyTheFirstTranslationCounts) {
    TempDir dir;
    const std::string exe =
        ExecutableWith(dir, "german",
                       Block(Record("\\VarFileInfo\\Translation", "040704B0040904E4") +
                             Record("\\StringFileInfo\\040904E4\\ProductName", "English name") +
                             Record("\\StringFileInfo\\040904E4\\Comments", "English comment") +
                             Record("\\StringFileInfo\\040704B0\\ProductName", "Deutscher Name") +
                             Record("\\StringFileInfo\\040704B0\\CompanyName", "Firma")));
    TVynFileversionInfo info;
    ASSERT_TRUE(info.GetInfo(exe));
    EXPECT_EQ(info.ProductName, "Deutscher Name");
    EXPECT_EQ(info.CompanyName, "Firma");
    EXPECT_EQ(info.Comments, ""); // missing in the first table: empty, not English
}

TEST(FileversionInfo, NoTranslationTableOrABrokenBlock) {
    TempDir dir;
    TVynFileversionInfo info;
    const std::string noTable = ExecutableWith(
        dir, "notable", Block(Record("\\StringFileInfo\\040904E4\\ProductName", "Name")));
    EXPECT_TRUE(info.GetInfo(noTable));
    EXPECT_EQ(info.ProductName, "");

    // Records cut off at the end of the section: nothing is read beyond it.
    const std::string cut = std::string(kVersionBlockMagic) + std::string(1, '\0') +
                            "\\VarFileInfo\\Translation" + std::string(1, '\0') + "0409";
    EXPECT_EQ(QueryVersionValue(cut, "\\VarFileInfo\\Translation"), std::nullopt);
    const std::string broken = ExecutableWith(dir, "broken", cut);
    EXPECT_TRUE(info.GetInfo(broken));
    EXPECT_EQ(info.ProductName, "");

    const std::string wrongMagic = ExecutableWith(dir, "magic", "NOTAVERSIONBLOCK");
    EXPECT_FALSE(info.GetInfo(wrongMagic));
}

} // namespace
