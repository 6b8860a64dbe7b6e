#pragma once
// The report for tools: one JSON document with an object per line of the task file. Field
// names are stable. Strings carry the files' bytes: each byte from 0x80 up is written as
// \u00XX with the byte's value, so the output is valid JSON whatever the code page.

#include <ostream>
#include <string>

#include "checker/folder/FolderCheck.h"

namespace pendulon {

void WriteJsonReport(std::ostream& out, const FolderCheck& check);

// The document for a folder whose files cannot be read; hint may be empty.
void WriteJsonFailure(std::ostream& out, const AnsiString& folder, const std::string& message,
                      const std::string& hint);

}  // namespace pendulon
