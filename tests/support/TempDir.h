#pragma once
// A fresh temporary directory for one test, removed with everything in it
// when the object goes.

#include <string>
#include <string_view>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }

    // Writes the bytes to a file in the directory and returns its path.
    std::string Write(std::string_view name, std::string_view bytes) const;

private:
    std::string m_path;
};
