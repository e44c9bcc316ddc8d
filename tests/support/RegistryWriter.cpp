// A second process for the settings-store tests: writes COUNT integers named
// PREFIX0, PREFIX1, ... under HKEY_CURRENT_USER\Software\MapwrightTests\Stress
// and prints each index once its write has returned.

#include "VynRegistry.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: registry_writer COUNT PREFIX\n");
        return 2;
    }
    QCoreApplication app(argc, argv);
    const int count = std::atoi(argv[1]);
    const std::string prefix = argv[2];
    TVynRegistry registry;
    registry.Init(HKEY_CURRENT_USER, "Software", "MapwrightTests", "");
    for (int i = 0; i < count; ++i) {
        registry.WriteInt("Stress", (prefix + std::to_string(i)).c_str(), i);
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
    return 0;
}
