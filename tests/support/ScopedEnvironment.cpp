#include "support/ScopedEnvironment.h"

#include <cstdlib>

namespace kivtest {
namespace {

void Apply(const std::string& name, const std::optional<std::string>& value) {
#if defined(_WIN32)
    _putenv_s(name.c_str(), value ? value->c_str() : "");
#else
    if (value) {
        setenv(name.c_str(), value->c_str(), 1);
    } else {
        unsetenv(name.c_str());
    }
#endif
}

}  // namespace

ScopedEnvironment::~ScopedEnvironment() {
    for (const auto& [name, value] : m_saved) Apply(name, value);
}

void ScopedEnvironment::Set(const std::string& name, std::optional<std::string> value) {
    if (m_saved.count(name) == 0) {
        const char* current = std::getenv(name.c_str());
        m_saved[name] = current ? std::optional<std::string>(current) : std::nullopt;
    }
    Apply(name, value);
}

}  // namespace kivtest
