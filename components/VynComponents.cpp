// The component list of the whole VYN library: every unit's Register().

#include "Palette.h"

#include <mutex>

namespace Vynrichedit {
void Register();
}
namespace Vynmemo {
void Register();
}
namespace Vynserialport {
void Register();
}
namespace Vynlogfile {
void Register();
}
namespace Vynfileversioninfo {
void Register();
}
namespace Vynregistry {
void Register();
}

std::vector<TComponentInfo> RegisteredComponents() {
    static std::once_flag once;
    std::call_once(once, [] {
        Vynrichedit::Register();
        Vynmemo::Register();
        Vynserialport::Register();
        Vynlogfile::Register();
        Vynfileversioninfo::Register();
        Vynregistry::Register();
    });
    return ComponentList();
}
