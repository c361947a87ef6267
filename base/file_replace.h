// The platform's part of an all-or-nothing file save.
#pragma once

#include <string>

// Writes the content completely into tempName (beside fileName), makes it durable and
// then puts it in place of fileName in one step. An existing fileName that is read-only
// or not a plain file is refused. On any failure fileName is left as it was and tempName
// does not remain. True on success.
bool ReplaceFileContent(const std::string& fileName, const std::string& tempName,
                        const std::string& content);
