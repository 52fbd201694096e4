#include "foundation/NSObject.h"

#include <cxxabi.h>
#include <cstdio>
#include <cstdlib>
#include <typeinfo>

std::string NSObject::className() const {
    const char* mangled = typeid(*this).name();
    int status = 0;
    char* plain = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string name = (status == 0 && plain) ? plain : mangled;
    std::free(plain);
    // Module-qualified classes report themselves as "Module.Class".
    for (std::string::size_type at; (at = name.find("::")) != std::string::npos;) name.replace(at, 2, ".");
    return name;
}

std::string NSObject::description() const {
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    return "<" + className() + ": " + address + ">";
}
