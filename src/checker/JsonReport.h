#pragma once
// The report for tools: one JSON document with an object per line of the task file. Field
// names are stable. Strings carry the files' bytes: each byte from 0x80 up is written as
// \u00XX with the byte's value, so the output is valid JSON whatever the code page.

#include <ostream>
#include <string>
#include <string_view>

#include "checker/FolderCheck.h"

namespace pendulon {

// Format of the document; raised when a field changes meaning or goes away.
constexpr int kJsonFormat = 1;

void WriteJsonReport(std::ostream& out, const FolderCheck& check);

// The document for a folder whose files cannot be read.
void WriteJsonFailure(std::ostream& out, const AnsiString& folder, const std::string& message);

// A JSON string literal holding the bytes, quotes included.
std::string JsonString(std::string_view bytes);

}  // namespace pendulon
