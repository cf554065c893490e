#pragma once
// What the resolver knows in tests linked with NssWrapperMain.cpp: the
// hosts file support/hosts, and this machine's name.

namespace testsupport {

constexpr char kLocalHostName[] = "snaphost-test.example.test";

}  // namespace testsupport
