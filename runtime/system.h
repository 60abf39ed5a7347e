#pragma once
// What the forms runtime passes on from the operating system beyond windows:
// Dir and Shell, and finding a program on the search path.

#include <string>
#include <vector>

namespace forms {

// The file name (without its folder) of the file at `path`, or empty text
// when no file is there. No wildcards: the path names one file exactly.
std::string Dir(const std::string &path);

// Starts exactly the program at `path`, without arguments and without a
// shell, in its own session; does not wait for it. False when it could not
// start. It inherits none of the game's open files.
bool Shell(const std::string &path);

// The full path of the first of `names` that is an executable file in one of
// the folders of `searchPath` (in $PATH form, folder:folder:...). The order
// of the names comes first; relative and empty folders are never searched,
// since they would depend on the game's working directory.
std::string findProgram(const std::vector<std::string> &names, const std::string &searchPath);

} // namespace forms
