#pragma once

#include <string>

// For outside callers: replaces `xml` with the fixed, empty delete-user
// request text.
void DeleteUserXMLString(std::string& xml);
