#include "support/DynamicLibrary.h"

#include <dlfcn.h>

namespace kivtest {

DynamicLibrary::DynamicLibrary(const std::string& path)
    : m_handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {}

DynamicLibrary::~DynamicLibrary() {
    if (m_handle != nullptr) dlclose(m_handle);
}

void* DynamicLibrary::Symbol(const char* name) const {
    return m_handle != nullptr ? dlsym(m_handle, name) : nullptr;
}

}  // namespace kivtest
