#pragma once

#include <string>

#include "PluginExport.h"

// For outside callers: replaces `xml` with the fixed, empty delete-user
// request text.
ZRSO_EXPORT void DeleteUserXMLString(std::string& xml);
