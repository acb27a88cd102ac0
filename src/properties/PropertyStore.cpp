#include "properties/PropertyStore.h"

#include <atomic>

#include "properties/ConfigDirectory.h"

namespace ORVA::KIV::System::Utility::Logging {
namespace {

constexpr bool c_defaultLoggingTurnedOn = false;
const char* c_defaultLoggingStatus = kOffText;

// Load state; published with release so that a reader that sees dynamic
// logging off also sees the finished store.
std::atomic<bool> c_propertiesLoaded{false};
std::atomic<bool> c_dynamicLogging{false};

void Load(PropertyMap& store) {
    ReadingState state;
    state.laterReading = c_propertiesLoaded.load(std::memory_order_acquire);
    state.dynamicLogging = c_dynamicLogging.load(std::memory_order_relaxed);
    state.defaultStatus = c_defaultLoggingStatus;
    std::string path;
    try {
        const std::string directory = GetSystemConfigDirectory();
        if (!directory.empty()) path = directory + kPropertiesFileName;
    } catch (...) {
        // Out of memory: counts as no configuration directory.
    }
    ReadPropertiesFile(path, store, state, nullptr);
    c_dynamicLogging.store(state.dynamicLogging, std::memory_order_release);
    c_propertiesLoaded.store(true, std::memory_order_release);
}

}  // namespace

void FixDefaultLoggingStatus() {
    c_defaultLoggingStatus = c_defaultLoggingTurnedOn ? kOnText : kOffText;
}

PropertyMap& PropertyStore() {
    static PropertyMap* const store = new PropertyMap;
    return *store;
}

std::mutex& PropertyStoreMutex() {
    static std::mutex mutex;
    return mutex;
}

bool DynamicLoggingIsOn() {
    return c_dynamicLogging.load(std::memory_order_acquire);
}

PropertyMap* LoadLoggingSystemProperties(bool* pDynamic) {
    PropertyMap& store = PropertyStore();
    if (!c_propertiesLoaded.load(std::memory_order_acquire) || DynamicLoggingIsOn()) {
        Load(store);
    }
    if (pDynamic != nullptr) *pDynamic = DynamicLoggingIsOn();
    return &store;
}

}  // namespace ORVA::KIV::System::Utility::Logging
