#include "checker/folder/FolderPaths.h"

#include "checker/text/Printable.h"
#include "platform/Process.h"

namespace pendulon {

AnsiString JoinPath(const AnsiString& folder, const AnsiString& name, char separator) {
  if (folder.empty())
    return name;
  const char last = folder.back();
  // Windows takes "/" as well, and "C:" names a drive's current folder.
  const bool ends = last == separator || (separator == '\\' && (last == '/' || last == ':'));
  return ends ? folder + name : folder + separator + name;
}

AnsiString OwnFolder(ProcessInfo& platform, char separator) {
  if (separator == '\\')
    return ExeDirectory(platform);
  const AnsiString path = ExePath(platform);
  const std::size_t slash = path.rfind(separator);
  if (slash == AnsiString::npos)
    return ".";
  return slash == 0 ? AnsiString(1, separator) : path.substr(0, slash);
}

std::string SavedWithTxt(FileReader& files, const AnsiString& path, char separator) {
  const FoundFile txt = files.FindFile(path + ".txt");
  if (!txt.found || txt.directory)
    return {};
  const std::string name = Visible(path.substr(path.rfind(separator) + 1));
  const FoundFile expected = files.FindFile(path);
  const std::string saved = name + ".txt ";
  if (!expected.found)
    return saved +
           "is there instead: an editor added \".txt\" to the name when saving; rename "
           "it to " +
           name;
  return saved +
         "lies beside it and is never read: if it holds your changes, an editor added "
         "\".txt\" to the name when saving; rename it to " +
         name;
}

}  // namespace pendulon
