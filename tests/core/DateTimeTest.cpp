// Local time across a daylight-saving change, in a time zone given by rule
// so that no time zone database is needed.
#include "core/DateTime.h"

#include <gtest/gtest.h>

#include <ctime>

#include "support/ScopedEnvironment.h"

using namespace ORVA::KIV::System::Utility::Logging;

namespace {

std::string Stamp(std::time_t time) {
    return std::string(DateTimeStamp(time));
}

TEST(DateTimeStampTest, FollowsDaylightSavingChangesSecondBySecond) {
    kivtest::ScopedEnvironment environment;
    environment.Set("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
    tzset();
    // 2024-03-31 00:59:59 UTC is the last second of winter time.
    const std::time_t lastWinterSecond = 1711846799;
    EXPECT_EQ(Stamp(lastWinterSecond), " [2024/03/31 01:59:59] ");
    EXPECT_EQ(Stamp(lastWinterSecond), " [2024/03/31 01:59:59] ");
    EXPECT_EQ(Stamp(lastWinterSecond + 1), " [2024/03/31 03:00:00] ");
    // 2023-12-31 23:59:59 local time, then the new year.
    EXPECT_EQ(Stamp(1704063599), " [2023/12/31 23:59:59] ");
    EXPECT_EQ(Stamp(1704063600), " [2024/01/01 00:00:00] ");
    environment.Set("TZ", "UTC0");
    tzset();
    EXPECT_EQ(Stamp(0), " [1970/01/01 00:00:00] ");
}

}  // namespace
