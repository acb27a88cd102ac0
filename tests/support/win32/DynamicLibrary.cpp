#include "support/DynamicLibrary.h"

#include <windows.h>

namespace kivtest {

DynamicLibrary::DynamicLibrary(const std::string& path) : m_handle(LoadLibraryA(path.c_str())) {}

DynamicLibrary::~DynamicLibrary() {
    if (m_handle != nullptr) FreeLibrary(static_cast<HMODULE>(m_handle));
}

bool DynamicLibrary::IsInProcess(const std::string& path) {
    return GetModuleHandleA(path.c_str()) != nullptr;
}

void* DynamicLibrary::Symbol(const char* name) const {
    if (m_handle == nullptr) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(m_handle), name));
}

}  // namespace kivtest
