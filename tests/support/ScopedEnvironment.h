// Sets or removes environment variables of the test process for one scope
// and restores their earlier values after.
#ifndef KIVLOGGING_TESTS_SUPPORT_SCOPEDENVIRONMENT_H
#define KIVLOGGING_TESTS_SUPPORT_SCOPEDENVIRONMENT_H

#include <map>
#include <optional>
#include <string>

namespace kivtest {

class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    // A value sets the variable, nullopt removes it.
    void Set(const std::string& name, std::optional<std::string> value);

private:
    std::map<std::string, std::optional<std::string>> m_saved;
};

}  // namespace kivtest

#endif  // KIVLOGGING_TESTS_SUPPORT_SCOPEDENVIRONMENT_H
