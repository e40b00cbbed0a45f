#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vlpc/ManifestCompiler.h>

namespace vlpc {

// A compiled file that could not be encoded or written.
class OutputError : public std::runtime_error {
public:
    explicit OutputError(std::string const& message) : std::runtime_error(message) {}
};

// Names of the compiled files, in the order they are written.
extern char const* const COMPILED_FILE_NAMES[4];

// Encodes the four compiled files and writes them into outDir (created if
// missing), and, when depfilePath is given, a make-style dependency file: the
// four files depend on the manifest and every input it names. Each output goes
// to a temporary file first; only when all are complete are they renamed into
// place, so a failure leaves the files that were there before untouched.
// Throws OutputError.
void writeCompiledFiles(CompiledAssets const& assets, std::string const& outDir,
                        std::function<void(std::string const&)> const& progress = {},
                        std::string const& depfilePath = {});

} // namespace vlpc
