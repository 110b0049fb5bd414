#pragma once

#include <gtest/gtest.h>

#include <chrono>

// Puts a HangGuard around every test of the program, so that a test whose code loops or waits
// forever ends the program within the limit, naming the test, instead of running into ctest's
// time-out many minutes later. The shared main installs it when TOMEFOLD_TEST_HANG_SECONDS is set,
// as it is for the tests of the code that decodes untrusted bytes.
namespace TestHangGuards {

void installFromEnvironment();

} // namespace TestHangGuards
