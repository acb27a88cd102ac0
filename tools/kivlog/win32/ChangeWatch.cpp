#include "ChangeWatch.h"

#include <thread>

namespace kivlog {

// Change notifications of Windows are not used yet: following looks at
// every file after each wait.
struct ChangeWatch::State {};

ChangeWatch::ChangeWatch() : m_state(std::make_unique<State>()) {}

ChangeWatch::~ChangeWatch() = default;

void ChangeWatch::Watch(const std::string&) {}

bool ChangeWatch::Reports() const {
    return false;
}

bool ChangeWatch::Wait(std::chrono::milliseconds timeout, std::vector<Change>*) {
    std::this_thread::sleep_for(timeout);
    return false;
}

}  // namespace kivlog
