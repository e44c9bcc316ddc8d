#include "Palette.h"

#include <mutex>

namespace {

// The list, made on first use and never destroyed, so a component may
// register from a static initialiser of its own.
struct TPalette {
    std::mutex Mutex;
    std::vector<TComponentInfo> Components;
};

TPalette& Palette() {
    static TPalette& palette = *new TPalette;
    return palette;
}

} // namespace

void RegisterComponents(const char* page, std::initializer_list<const char*> classNames) {
    std::lock_guard lock(Palette().Mutex);
    for (const char* name : classNames) {
        bool known = false;
        for (const TComponentInfo& info : Palette().Components) {
            known = known || info.ClassName == name;
        }
        if (!known) {
            Palette().Components.push_back({name, page});
        }
    }
}

std::vector<TComponentInfo> ComponentList() {
    std::lock_guard lock(Palette().Mutex);
    return Palette().Components;
}
