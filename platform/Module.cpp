#include "Module.h"

#include <dlfcn.h>

void* LoadModuleFunction(const std::string& path, const char* name, std::string& error) {
    // Its own symbols stay its own: the module brings the toolkit the
    // program itself does without.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* reason = ::dlerror();
        error = reason != nullptr ? reason : "cannot be opened";
        return nullptr;
    }
    ::dlerror();
    void* function = ::dlsym(module, name);
    if (function == nullptr) {
        const char* reason = ::dlerror();
        error = reason != nullptr ? reason : std::string("no function ") + name;
        return nullptr;
    }
    return function;
}
