#include <gtest/gtest.h>
TEST(Placeholder, FetchTestsComeHere) { SUCCEED(); }
