#pragma once
// Runs a program to completion and collects what it wrote.

#include <string>
#include <vector>

struct ProcessResult {
    int ExitCode = -1; // -1 when it did not exit normally
    std::string Out;
    std::string Err;
};

ProcessResult RunProcess(const std::vector<std::string>& argv);
