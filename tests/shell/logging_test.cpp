// The default logging rules: our own debug and info output is quiet, every warning shows.

#include <gtest/gtest.h>

#include "core/log.h"
#include "core/log_categories.h"

namespace quillhaven {
namespace {

TEST(LoggingTest, DefaultRulesQuietOnlyOurDebugAndInfo) {
    log::applyDefaultRules();
    for (const QLoggingCategory* ours : {&logRender(), &logController(), &logPlatform(), &logShell()}) {
        SCOPED_TRACE(ours->categoryName());
        EXPECT_FALSE(ours->isDebugEnabled());
        EXPECT_FALSE(ours->isInfoEnabled());
        EXPECT_TRUE(ours->isWarningEnabled());
    }
    const QLoggingCategory qtOwn("qt.qpa.xcb");
    EXPECT_TRUE(qtOwn.isWarningEnabled());
    EXPECT_TRUE(QLoggingCategory::defaultCategory()->isWarningEnabled());
}

}  // namespace
}  // namespace quillhaven
