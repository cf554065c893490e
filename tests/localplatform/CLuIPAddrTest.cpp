// Name resolution through the system resolver, answering from support/hosts.
// The forward and reverse lookups that host name equivalence relies on are
// tested through it (HostNameEquivalenceTest.cpp).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LuUtils.h"
#include "support/NssWrapper.h"

namespace {

std::vector<std::string> Texts(const char* name, CLuIPAddr::IP_FAMILY family) {
  std::vector<CLuIPAddr> addresses;
  CLuIPAddr::GetAllByName(name, addresses, family);
  std::vector<std::string> texts;
  for (const CLuIPAddr& address : addresses) {
    CLuString text;
    EXPECT_FALSE(address.GetAddressString(text).IsError());
    texts.emplace_back(text.c_str());
  }
  return texts;
}

TEST(CLuIPAddr, GivesTheAddressesOfTheFamilyAsked) {
  EXPECT_EQ(std::vector<std::string>{"10.20.30.40"}, Texts("nfs-a", CLuIPAddr::IP_FAMILY_ANY));
  EXPECT_EQ((std::vector<std::string>{"10.20.30.41", "10.20.30.42"}),
            Texts("nfs-b.example.test", CLuIPAddr::IP_FAMILY_V4));
  EXPECT_EQ(std::vector<std::string>{"fd00::42"},
            Texts("nfs-b.example.test", CLuIPAddr::IP_FAMILY_V6));
}

TEST(CLuIPAddr, AnUnknownNameGivesAnErrorAndNoAddress) {
  std::vector<CLuIPAddr> addresses(2);
  CLuError error =
      CLuIPAddr::GetAllByName("no-such-host.invalid", addresses, CLuIPAddr::IP_FAMILY_ANY);
  EXPECT_TRUE(error.IsError());
  EXPECT_STRNE("", error.AsString());
  EXPECT_TRUE(addresses.empty());
  EXPECT_TRUE(CLuIPAddr::GetAllByName("", addresses, CLuIPAddr::IP_FAMILY_ANY).IsError());
  EXPECT_TRUE(CLuIPAddr::GetAllByName(nullptr, addresses, CLuIPAddr::IP_FAMILY_ANY).IsError());
}

TEST(CLuIPAddr, GivesTheLocalHostName) {
  CLuString name;
  ASSERT_FALSE(CLuIPAddr::GetLocalHost(name).IsError());
  EXPECT_STREQ(testsupport::kLocalHostName, name.c_str());
}

TEST(CLuIPAddr, ParsesOnlyNumericText) {
  for (const char* text : {"10.20.30.40", "fd00::42", "::1"}) {
    CLuIPAddr address;
    EXPECT_FALSE(address.SetAddressString(text).IsError()) << text;
    CLuString back;
    address.GetAddressString(back);
    EXPECT_STREQ(text, back.c_str());
  }
  for (const char* text : {"nfs-a", "10.1", "10.20.30.400", "", " 10.20.30.40"}) {
    CLuIPAddr address;
    EXPECT_TRUE(address.SetAddressString(text).IsError()) << text;
  }
}

TEST(CLuIPAddr, AnEmptyAddressHasNoTextAndNoName) {
  CLuIPAddr empty;
  CLuString text;
  EXPECT_TRUE(empty.GetAddressString(text).IsError());
  EXPECT_TRUE(text.IsEmpty());
  EXPECT_STREQ("", text.c_str());
  EXPECT_TRUE(empty.GetHostName(text).IsError());
}

TEST(CLuError, IsAnErrorOnlyWhenNegative) {
  EXPECT_FALSE(CLuError().IsError());
  EXPECT_FALSE(CLuError(5, "five").IsError());
  EXPECT_TRUE(CLuError(-1, "minus one").IsError());
  EXPECT_STREQ("minus one", CLuError(-1, "minus one").AsString());
}

}  // namespace
