#include "Paths.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(Paths, ExecutableAndItsDirectory) {
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(ExecutablePath(), self.string());
    const std::string dir = ExeDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_EQ(std::filesystem::path(dir) / self.filename(), self);
    // A build tree has no share/ folder beside bin/: data lives beside the
    // program.
    EXPECT_EQ(ProgramDataDirectory("no-such-program"), dir);
}

TEST(Paths, CreateDirectoriesMakesEveryParentAndFailsOnAFile) {
    TempDir temp;
    EXPECT_TRUE(CreateDirectories(temp.Path() + "/a/b/c"));
    EXPECT_TRUE(std::filesystem::is_directory(temp.Path() + "/a/b/c"));
    EXPECT_TRUE(CreateDirectories(temp.Path() + "/a/b/c")); // exists already
    const std::string file = temp.Write("file", "x");
    EXPECT_FALSE(CreateDirectories(file));
    EXPECT_FALSE(CreateDirectories(file + "/below"));
}

TEST(Paths, UserDataDirectoryFollowsXdgThenHome) {
    const std::string xdg = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("XDG_DATA_HOME", "/data/here", 1);
    EXPECT_EQ(UserDataDirectory(), "/data/here");
    setenv("XDG_DATA_HOME", "relative", 1); // not absolute: ignored
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(UserDataDirectory(), "/home/someone/.local/share");
    unsetenv("XDG_DATA_HOME");
    unsetenv("HOME");
    EXPECT_EQ(UserDataDirectory(), "");
    xdg.empty() ? unsetenv("XDG_DATA_HOME") : setenv("XDG_DATA_HOME", xdg.c_str(), 1);
    home.empty() ? unsetenv("HOME") : setenv("HOME", home.c_str(), 1);
}

} // namespace
