#include <iostream>
#include <lightgen/CommandLine.h>

int main(int argc, char** argv) {
    std::vector<std::string> const args(argv + 1, argv + argc);
    return lightgen::runCommandLine(args, std::cout, std::cerr);
}
