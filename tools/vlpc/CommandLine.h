#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vlpc {

// The vlpc program behind main: compiles a manifest or dumps a compiled file.
// args excludes the program name. Listings and progress go to out, errors to
// err. Returns the exit code: 0 on success, 1 on any error.
int runCommandLine(std::vector<std::string> const& args, std::ostream& out, std::ostream& err);

} // namespace vlpc
