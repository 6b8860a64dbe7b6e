#pragma once
// The report for people: its head, a block per line of the task file, then a summary.

#include <ostream>

#include "checker/folder/FolderCheck.h"

namespace pendulon {

void WriteTextReport(std::ostream& out, const FolderCheck& check);
// Its head alone: the folder, its files with their hints, the run log, whether the executer
// runs, and the local time, then an empty line.
void WriteTextHeader(std::ostream& out, const FolderCheck& check);

}  // namespace pendulon
