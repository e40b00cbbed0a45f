#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace lightgen {

// The lightgen program behind main: computes the light-scattering lookup
// tables and writes lightlookup.vlp. args excludes the program name. Progress
// goes to out, errors to err. Returns the exit code: 0 on success, 1 on bad
// arguments or a failed write.
int runCommandLine(std::vector<std::string> const& args, std::ostream& out, std::ostream& err);

} // namespace lightgen
