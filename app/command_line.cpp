#include "command_line.h"

#include <cstdio>
#include <string>

#include "generated/version.h"

namespace korvel::app {

std::optional<int> answerHelpOrVersion(int argc, char** argv, std::string_view program,
                                       std::string_view help) {
    std::string out;
    for (int i = 1; i < argc && out.empty(); ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") break;
        if (arg == "--help" || arg == "-h") out = help;
        if (arg == "--version") out = std::string(program) + " " + kReleaseText + "\n";
    }
    if (out.empty()) return std::nullopt;
    // Standard output may be a full disk or a closed pipe: say so rather than succeed.
    if (std::fputs(out.c_str(), stdout) == EOF || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "%s: cannot write to standard output\n", std::string(program).c_str());
        return 1;
    }
    return 0;
}

}  // namespace korvel::app
