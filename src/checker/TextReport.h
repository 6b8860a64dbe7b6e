#pragma once
// The report for people: a block per line of the task file, then a summary.

#include <ostream>

#include "checker/FolderCheck.h"

namespace pendulon {

void WriteTextReport(std::ostream& out, const FolderCheck& check);

}  // namespace pendulon
