// main() of the tests that need a resolver they control. It starts the test
// program again with nss_wrapper preloaded, so that getaddrinfo, getnameinfo
// and gethostname answer from support/hosts and kLocalHostName, without
// touching the machine's own configuration; the program works the same when
// started by ctest, by gtest discovery or by hand. nss_wrapper reads the
// hosts file strictly: no comment lines in it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/NssWrapper.h"

int main(int argc, char** argv) {
  if (std::getenv("NSS_WRAPPER_HOSTS") == nullptr) {
    setenv("NSS_WRAPPER_HOSTS", ZRSO_TEST_HOSTS_FILE, 1);
    setenv("NSS_WRAPPER_HOSTNAME", testsupport::kLocalHostName, 1);
    // nss_wrapper's RTLD_DEEPBIND does not go with the sanitizer runtimes,
    // and preloading it puts it ahead of them.
    setenv("NSS_WRAPPER_DISABLE_DEEPBIND", "1", 1);
    const char* asan = std::getenv("ASAN_OPTIONS");
    setenv("ASAN_OPTIONS",
           (std::string(asan != nullptr ? asan : "") + ":verify_asan_link_order=0").c_str(), 1);
    const char* preload = std::getenv("LD_PRELOAD");
    setenv(
        "LD_PRELOAD",
        (std::string(NSS_WRAPPER_LIBRARY) + (preload != nullptr ? std::string(" ") + preload : ""))
            .c_str(),
        1);
    execv("/proc/self/exe", argv);
    std::perror("cannot restart the test program under nss_wrapper");
    return 2;
  }
  testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
