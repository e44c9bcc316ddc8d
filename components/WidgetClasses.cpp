#include "WidgetClasses.h"

#include "Palette.h"

#include <algorithm>
#include <mutex>

namespace {

std::mutex& ClassesMutex() {
    static std::mutex mutex;
    return mutex;
}

std::vector<TWidgetClass>& Classes() {
    static std::vector<TWidgetClass> classes;
    return classes;
}

} // namespace

void RegisterWidgetClass(const TWidgetClass& widgetClass) {
    const std::lock_guard lock(ClassesMutex());
    std::vector<TWidgetClass>& classes = Classes();
    const auto same = [&](const TWidgetClass& c) { return c.ClassName == widgetClass.ClassName; };
    if (std::none_of(classes.begin(), classes.end(), same)) {
        classes.push_back(widgetClass);
    }
}

std::vector<TWidgetClass> WidgetClasses() {
    const std::vector<TComponentInfo> components = RegisteredComponents();
    const std::lock_guard lock(ClassesMutex());
    std::vector<TWidgetClass> ordered;
    for (const TComponentInfo& component : components) {
        for (const TWidgetClass& c : Classes()) {
            if (c.ClassName == component.ClassName) {
                ordered.push_back(c);
            }
        }
    }
    return ordered;
}
