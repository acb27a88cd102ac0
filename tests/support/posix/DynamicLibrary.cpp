#include "support/DynamicLibrary.h"

#include <dlfcn.h>
#include <limits.h>

#include <cstdlib>
#include <fstream>

namespace kivtest {

DynamicLibrary::DynamicLibrary(const std::string& path)
    : m_handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {}

DynamicLibrary::~DynamicLibrary() {
    if (m_handle != nullptr) dlclose(m_handle);
}

bool DynamicLibrary::IsInProcess(const std::string& path) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr) return false;
    std::ifstream maps("/proc/self/maps");
    const std::string name = std::string(" ") + resolved;
    for (std::string line; std::getline(maps, line);) {
        if (line.size() >= name.size() && line.compare(line.size() - name.size(), name.size(), name) == 0) {
            return true;
        }
    }
    return false;
}

void* DynamicLibrary::Symbol(const char* name) const {
    return m_handle != nullptr ? dlsym(m_handle, name) : nullptr;
}

}  // namespace kivtest
