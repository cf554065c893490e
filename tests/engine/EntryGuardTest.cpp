// No exception leaves an entry point: the guard logs it and fails the batch.
// Through the built plug-in, with a platform that throws, in
// tests/endtoend/FaultMatrixTest.cpp; here what no platform can throw.

#include <gtest/gtest.h>

#include <stdexcept>

#include "EntryGuard.h"
#include "support/CapturingLogWriter.h"

namespace {

TEST(EntryGuard, AnExceptionBecomesFailureAndIsLogged) {
  testsupport::ScopedCapture capture(-1);
  EXPECT_EQ(
      zrso::GuardEntry("entry", []() -> ZRSO::ResultCode { throw std::runtime_error("boom"); }),
      ZRSO::RESULT_FAILURE);
  EXPECT_EQ(zrso::GuardEntry("entry", []() -> ZRSO::ResultCode { throw 42; }),
            ZRSO::RESULT_FAILURE);
  EXPECT_EQ(zrso::GuardEntry("entry", [] { return ZRSO::RESULT_PARTIAL; }), ZRSO::RESULT_PARTIAL);
  ASSERT_EQ(capture->lines().size(), 2u);
  EXPECT_EQ(capture->lines()[0].message, "Unexpected exception [boom]");
  EXPECT_EQ(capture->lines()[1].message, "Unexpected exception of unknown type");
  EXPECT_EQ(capture->lines()[1].level, -1);
}

}  // namespace
