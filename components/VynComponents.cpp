// The component list of the whole VYN library: the Register() of every unit
// that the CMake files add with vyn_add_component(), so none can be left out.

#include "Palette.h"
#include "VynExport.h"

#include <mutex>

#define VYN_COMPONENT_UNIT(unit)                                                                   \
    namespace unit {                                                                               \
    VYN_EXPORT void Register();                                                                    \
    }
#include "VynComponentList.inc"
#undef VYN_COMPONENT_UNIT

std::vector<TComponentInfo> RegisteredComponents() {
    static std::once_flag once;
    std::call_once(once, [] {
#define VYN_COMPONENT_UNIT(unit) unit::Register();
#include "VynComponentList.inc"
#undef VYN_COMPONENT_UNIT
    });
    return ComponentList();
}

int RegisteredUnitCount() {
    int count = 0;
#define VYN_COMPONENT_UNIT(unit) ++count;
#include "VynComponentList.inc"
#undef VYN_COMPONENT_UNIT
    return count;
}
