#include <exception>
#include <optional>
#include <vlpc/CommandLine.h>
#include <vlpc/FormatDump.h>
#include <vlpc/FormatError.h>
#include <vlpc/ManifestCompiler.h>
#include <vlpc/OutputWriter.h>

namespace vlpc {

namespace {

char const* const USAGE =
    "usage: vlpc MANIFEST.json -o OUTDIR [--depfile FILE] [-q]\n"
    "       vlpc --dump FILE [--kind shaders|textures|models|path|lightlookup] [-v]\n"
    "\n"
    "The first form compiles a manifest into shaders.vlp, textures.vlp, models.vlp and\n"
    "path.vlp in OUTDIR. The second prints a compiled file's dictionaries and records and\n"
    "checks its layout; the kind is told by the file name unless --kind gives it.\n";

struct Options {
    std::string manifest;
    std::string outDir;
    std::string depfile;
    std::string dump;
    std::optional<FileKind> kind;
    bool quiet = false;
    bool verbose = false;
    bool help = false;
};

// Parses the arguments; returns an error message for bad usage, or nothing.
std::optional<std::string> parse(std::vector<std::string> const& args, Options& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string const& arg = args[i];
        auto value = [&](std::string& target) -> bool {
            if (i + 1 >= args.size()) {
                return false;
            }
            target = args[++i];
            return true;
        };
        if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "-o") {
            if (!value(options.outDir)) {
                return "-o needs a folder";
            }
        } else if (arg == "--depfile") {
            if (!value(options.depfile)) {
                return "--depfile needs a file name";
            }
        } else if (arg == "--dump") {
            if (!value(options.dump)) {
                return "--dump needs a file";
            }
        } else if (arg == "--kind") {
            std::string word;
            if (!value(word) || !(options.kind = fileKindFromWord(word))) {
                return "--kind needs shaders, textures, models, path or lightlookup";
            }
        } else if (arg == "-q" || arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "-v" || arg == "--verbose") {
            options.verbose = true;
        } else if (!arg.empty() && arg[0] == '-') {
            return "unknown option " + arg;
        } else if (options.manifest.empty()) {
            options.manifest = arg;
        } else {
            return "more than one manifest given";
        }
    }
    if (options.help) {
        return std::nullopt;
    }
    if (!options.dump.empty()) {
        if (!options.manifest.empty() || !options.outDir.empty()) {
            return "--dump takes one file and no manifest";
        }
        return std::nullopt;
    }
    if (options.manifest.empty() || options.outDir.empty()) {
        return "a manifest and -o OUTDIR are needed";
    }
    return std::nullopt;
}

int dump(Options const& options, std::ostream& out, std::ostream& err) {
    std::optional<FileKind> kind = options.kind ? options.kind : fileKindFromName(options.dump);
    if (!kind) {
        err << "vlpc: cannot tell the kind of " << options.dump
            << " from its name; give --kind shaders|textures|models|path|lightlookup\n";
        return 1;
    }
    try {
        DumpOptions dumpOptions;
        dumpOptions.verbose = options.verbose;
        dumpFile(options.dump, *kind, out, dumpOptions);
    } catch (FormatError const& e) {
        err << "vlpc: " << e.what() << '\n';
        return 1;
    }
    return 0;
}

int compile(Options const& options, std::ostream& out, std::ostream& err) {
    auto progress = [&](std::string const& line) {
        if (!options.quiet) {
            out << "vlpc: " << line << '\n' << std::flush;
        }
    };
    try {
        CompiledAssets const assets = ManifestCompiler(progress).compile(options.manifest);
        for (std::string const& warning : assets.warnings) {
            err << warning << '\n';
        }
        progress(std::to_string(assets.shaders.shaders.size()) + " shaders, " +
                 std::to_string(assets.textures.textures.size()) + " textures, " +
                 std::to_string(assets.models.materials.size()) + " materials, " +
                 std::to_string(assets.models.geometries.size()) + " geometries, " +
                 std::to_string(assets.paths.paths.size()) + " paths, " +
                 std::to_string(assets.models.models.size()) + " models");
        writeCompiledFiles(assets, options.outDir, progress, options.depfile);
    } catch (ManifestError const& e) {
        err << e.what() << '\n';
        return 1;
    } catch (OutputError const& e) {
        err << "vlpc: " << e.what() << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int runCommandLine(std::vector<std::string> const& args, std::ostream& out, std::ostream& err) {
    Options options;
    if (std::optional<std::string> problem = parse(args, options)) {
        err << "vlpc: " << *problem << '\n' << USAGE;
        return 1;
    }
    if (options.help) {
        out << USAGE;
        return 0;
    }
    try {
        if (!options.dump.empty()) {
            return dump(options, out, err);
        }
        return compile(options, out, err);
    } catch (std::exception const& e) {
        err << "vlpc: " << e.what() << '\n';
        return 1;
    }
}

} // namespace vlpc
