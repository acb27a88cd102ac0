// The library loaded at run time by a program that is not linked against
// it: its start-up work runs while it loads, inside the loader, and must
// neither deadlock nor fail there.
#include <gtest/gtest.h>
#include <logging/MsgLog.h>

#include "support/DynamicLibrary.h"
#include "support/MessageMatching.h"
#include "support/ScopedEnvironment.h"
#include "support/StdoutCapture.h"
#include "support/TempDirectory.h"

using ORVA::KIV::System::Utility::Logging::IMsgLog;

namespace {

// The exported functions used, by their mangled names.
constexpr char kLoggingIsOn[] = "_ZN4ORVA3KIV6System7Utility7Logging7IMsgLog11LoggingIsOnEv";
constexpr char kGetLoggingSystemProperty[] =
    "_ZN4ORVA3KIV6System7Utility7Logging7IMsgLog24GetLoggingSystemPropertyEPKc";
constexpr char kGetGlobalSystemLogger[] =
    "_ZN4ORVA3KIV6System7Utility7Logging13MsgLogFactory21GetGlobalSystemLoggerEv";

TEST(DynamicLoadingTest, FindsTheSettingsComputedWhileTheLibraryLoaded) {
    kivtest::TempDirectory configuration;
    kivtest::WriteFile(configuration.File("kiv.system.properties"),
                       "kiv.logging.status=on\nkiv.log.level=warn\nkiv.log.loggers=console\n");
    kivtest::ScopedEnvironment environment;
    environment.Set("KIV_SYS_CONFIG_DIR", configuration.Path().string());

    const kivtest::DynamicLibrary library(KIVLOG_LIBRARY_PATH);
    ASSERT_TRUE(library.IsLoaded());
    const auto loggingIsOn = library.Function<bool()>(kLoggingIsOn);
    const auto getProperty = library.Function<const char*(const char*)>(kGetLoggingSystemProperty);
    const auto getSystemLogger = library.Function<IMsgLog*()>(kGetGlobalSystemLogger);
    ASSERT_NE(loggingIsOn, nullptr);
    ASSERT_NE(getProperty, nullptr);
    ASSERT_NE(getSystemLogger, nullptr);

    EXPECT_TRUE(loggingIsOn());
    EXPECT_STREQ(getProperty("kiv.log.level"), "WARN");
    IMsgLog* system = getSystemLogger();
    ASSERT_NE(system, nullptr);
    kivtest::StdoutCapture capture;
    system->Warn("Loader::Run", "logged through a loaded library", "(U) ");
    EXPECT_EQ(kivtest::MaskTimeStamps(capture.Finish()),
              "\n(U) WARN [T] Loader::Run:\n(U) logged through a loaded library\n\n");
}

// Unloading gives the memory back: nothing of the library (a symbol bound
// process-wide, a registration) keeps it mapped.
TEST(DynamicLoadingTest, UnloadingRemovesTheLibraryFromTheProcess) {
    kivtest::TempDirectory configuration;
    kivtest::WriteFile(configuration.File("kiv.system.properties"),
                       "kiv.logging.status=on\nkiv.log.loggers=console\n");
    kivtest::ScopedEnvironment environment;
    environment.Set("KIV_SYS_CONFIG_DIR", configuration.Path().string());
    {
        const kivtest::DynamicLibrary library(KIVLOG_LIBRARY_PATH);
        ASSERT_TRUE(library.IsLoaded());
        const auto getSystemLogger = library.Function<IMsgLog*()>(kGetGlobalSystemLogger);
        ASSERT_NE(getSystemLogger, nullptr);
        kivtest::StdoutCapture capture;
        getSystemLogger()->Info("Loader::Run", "before unloading", "(U) ");
        EXPECT_TRUE(kivtest::DynamicLibrary::IsInProcess(KIVLOG_LIBRARY_PATH));
    }
    EXPECT_FALSE(kivtest::DynamicLibrary::IsInProcess(KIVLOG_LIBRARY_PATH));
}

}  // namespace
