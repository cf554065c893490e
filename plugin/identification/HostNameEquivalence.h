#pragma once
// Whether two host names denote one machine, decided by name resolution
// through the platform's network library. Every comparison is an exact,
// case-sensitive byte comparison of the texts.

#include <string>

#include "PluginExport.h"
#include "SnapInfo.h"

// 0 when `other` is, character for character, the text of one of the
// addresses `name` resolves to. 1 when it is none of them, when `name` does
// not resolve, and when `name` is itself an address (its own text comes back
// from the resolver before `other` is compared).
ZRSO_EXPORT ZRSO::ResultCode FindArrayUsingOtherNames(const std::string& name,
                                                      const std::string& other);

// Offers the record's findArray the text of each address of `name`, in the
// resolver's order; when none is accepted and `name` is an address, offers
// the host name its reverse lookup gives. 0 as soon as findArray accepts a
// name (any result but 1), else 1. Nothing is written to the record other
// than through findArray. REQUIRES: snapInfo is not null (a null record is
// answered with 1).
ZRSO_EXPORT ZRSO::ResultCode FindArrayUsingOtherNames(ZRSO::SnapInfo* snapInfo,
                                                      const std::string& name);
