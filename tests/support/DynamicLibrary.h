// A shared library loaded at run time (dlopen, or LoadLibrary on Windows)
// rather than linked, and unloaded when the object goes.
#ifndef KIVLOGGING_TESTS_SUPPORT_DYNAMICLIBRARY_H
#define KIVLOGGING_TESTS_SUPPORT_DYNAMICLIBRARY_H

#include <string>

namespace kivtest {

class DynamicLibrary {
public:
    explicit DynamicLibrary(const std::string& path);
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    bool IsLoaded() const { return m_handle != nullptr; }
    // Whether the library at path is in the process's memory now.
    static bool IsInProcess(const std::string& path);

    // The exported function of that (mangled) name, or null.
    template <typename Signature>
    Signature* Function(const char* name) const {
        return reinterpret_cast<Signature*>(Symbol(name));
    }

private:
    void* Symbol(const char* name) const;
    void* m_handle = nullptr;
};

}  // namespace kivtest

#endif  // KIVLOGGING_TESTS_SUPPORT_DYNAMICLIBRARY_H
