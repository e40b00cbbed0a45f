#include <Engine/Data/Format/FormatConstants.h>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <lightgen/CommandLine.h>
#include <lightgen/OutputFile.h>
#include <lightgen/ScatteringTables.h>
#include <optional>
#include <vlpc/LightLookupFormat.h>

namespace lightgen {

namespace {

// The file format takes no smaller table.
constexpr unsigned long MIN_SIDE = Engine::Data::Format::MIN_LIGHT_LOOKUP_SIDE;
constexpr unsigned long MAX_SIDE = 4096;

// The defaults suit the demo's scenes, about 20 units across. u is beta times
// a light's distance h from the view ray: with beta 0.04 and h up to about 30
// units u stays below 1.2, and the range to 4 leaves a wide margin (h up to 100
// units, or a medium up to beta 0.13 over 30 units). A larger u is clamped by
// the textures' edge addressing and reads the values at u = 4, where A has
// fallen to about 15 % of its value at u = 0. v spans the whole angle from 0
// to pi/2.
char const* const USAGE =
    "usage: lightgen -o FILE [--beta B] [--size WxH] [--u-max U] [-q]\n"
    "\n"
    "Computes the light-scattering lookup tables A(u, v) and B(u, v) of a point light\n"
    "in a homogeneous medium and writes them to FILE (lightlookup.vlp):\n"
    "  A(u, v) = integral from 0 to v of exp(-u tan(eta)) d eta\n"
    "  B(u, v) = integral from 0 to v of 2 cos(eta)^2 exp(-u tan(eta)) d eta\n"
    "Columns sample u from 0 to U, rows v from 0 to pi/2; each table is stored\n"
    "divided by its largest value.\n"
    "\n"
    "  -o FILE      the file to write (created through a temporary file)\n"
    "  --beta B     density of the medium, stored for the shader (default 0.04)\n"
    "  --size WxH   columns and rows of both tables, 2 to 4096 each (default 64x64)\n"
    "  --u-max U    largest optical distance u = beta * distance (default 4)\n"
    "  -q           print nothing on success\n";

struct Options {
    std::string output;
    TableParameters table;
    bool quiet = false;
    bool help = false;
};

// A finite number that fills the whole text.
std::optional<double> number(std::string const& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    errno = 0;
    double const value = std::strtod(text.c_str(), &end);
    if (*end != '\0' || errno == ERANGE || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<unsigned long> side(std::string const& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
        text.size() > 5) {
        return std::nullopt;
    }
    unsigned long const value = std::strtoul(text.c_str(), nullptr, 10);
    if (value < MIN_SIDE || value > MAX_SIDE) {
        return std::nullopt;
    }
    return value;
}

// A positive number that stays positive and finite in single precision.
std::optional<double> positive(std::string const& text) {
    std::optional<double> const value = number(text);
    if (!value || !(static_cast<float>(*value) > 0.0f) ||
        !std::isfinite(static_cast<float>(*value))) {
        return std::nullopt;
    }
    return value;
}

// Parses the arguments; returns an error message for bad usage, or nothing.
std::optional<std::string> parse(std::vector<std::string> const& args, Options& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string const& arg = args[i];
        bool const hasValue = i + 1 < args.size();
        std::string const value = hasValue ? args[i + 1] : std::string();
        if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "-q" || arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "-o") {
            if (!hasValue || value.empty()) {
                return std::string("-o needs a file name");
            }
            options.output = value;
            ++i;
        } else if (arg == "--beta") {
            std::optional<double> const beta = positive(value);
            if (!hasValue || !beta) {
                return "--beta needs a number above 0, not '" + value + "'";
            }
            options.table.beta = *beta;
            ++i;
        } else if (arg == "--u-max") {
            std::optional<double> const uMax = positive(value);
            if (!hasValue || !uMax) {
                return "--u-max needs a number above 0, not '" + value + "'";
            }
            options.table.maxU = *uMax;
            ++i;
        } else if (arg == "--size") {
            std::size_t const x = value.find_first_of("xX");
            std::optional<unsigned long> const width =
                x == std::string::npos ? std::nullopt : side(value.substr(0, x));
            std::optional<unsigned long> const height =
                x == std::string::npos ? std::nullopt : side(value.substr(x + 1));
            if (!hasValue || !width || !height) {
                return "--size needs WIDTHxHEIGHT with both from " + std::to_string(MIN_SIDE) +
                       " to " + std::to_string(MAX_SIDE) + ", not '" + value + "'";
            }
            options.table.width = static_cast<std::uint16_t>(*width);
            options.table.height = static_cast<std::uint16_t>(*height);
            ++i;
        } else if (!arg.empty() && arg[0] == '-') {
            return "unknown option " + arg;
        } else {
            return "unexpected argument '" + arg + "'";
        }
    }
    if (!options.help && options.output.empty()) {
        return std::string("an output file is needed (-o FILE)");
    }
    return std::nullopt;
}

} // namespace

int runCommandLine(std::vector<std::string> const& args, std::ostream& out, std::ostream& err) {
    Options options;
    if (std::optional<std::string> problem = parse(args, options)) {
        err << "lightgen: " << *problem << '\n' << USAGE;
        return 1;
    }
    if (options.help) {
        out << USAGE;
        return 0;
    }
    try {
        vlpc::LightLookupFile const file = computeLightLookup(options.table);
        std::vector<std::uint8_t> const bytes = vlpc::writeLightLookupFile(file);
        writeFileAtomically(options.output, bytes);
        if (!options.quiet) {
            out << "lightgen: wrote " << options.output << " (" << file.width << " x "
                << file.height << ", beta " << file.beta << ", u " << file.minAB << " to "
                << file.maxAB << ", v " << file.minC << " to " << file.maxC << ", " << bytes.size()
                << " bytes)\n";
        }
    } catch (std::exception const& e) {
        err << "lightgen: " << e.what() << '\n';
        return 1;
    }
    return 0;
}

} // namespace lightgen
