#include "Palette.h"

#include <mutex>

namespace {

std::mutex g_mutex;
std::vector<TComponentInfo> g_components;

} // namespace

void RegisterComponents(const char* page, std::initializer_list<const char*> classNames) {
    std::lock_guard lock(g_mutex);
    for (const char* name : classNames) {
        bool known = false;
        for (const TComponentInfo& info : g_components) {
            known = known || info.ClassName == name;
        }
        if (!known) {
            g_components.push_back({name, page});
        }
    }
}

std::vector<TComponentInfo> ComponentList() {
    std::lock_guard lock(g_mutex);
    return g_components;
}
