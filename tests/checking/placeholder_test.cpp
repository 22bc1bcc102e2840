#include "text/lines.h"
#include <gtest/gtest.h>
TEST(Placeholder, Builds) { EXPECT_EQ(sentrel::trim(u" a "), QStringLiteral("a")); }
