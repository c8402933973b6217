#include "ctl/completion.h"

#include <set>

#include "ctl/command_table.h"
#include "results_json/test_functions.h"
#include "ops/kx_names.h"
#include "zr/zr_format.h"

namespace korvel::ctl {

namespace {

using A = ArgumentKind;

std::vector<std::string> moduleNumbers(int last) {
    std::vector<std::string> out;
    for (int n = 0; n <= last; ++n) out.push_back(std::to_string(n));
    return out;
}

// Each setting once, by its terminal name; its selectors are options.
std::vector<std::string> settingNames() {
    std::vector<std::string> out;
    for (const KxSettingRow& row : kKxSettings) out.push_back(row.termName);
    return out;
}

std::vector<std::string> settingValues(const std::string& setting) {
    std::vector<std::string> out;
    for (const KxSettingRow& row : kKxSettings)
        if (setting == row.termName)
            for (const KxOptionValue& o : row.options) {
                std::string caption = o.caption;
                for (char& c : caption) c = static_cast<char>(std::tolower(c));
                out.push_back(caption);
            }
    return out;
}

std::vector<std::string> offered(ArgumentKind kind, const std::vector<std::string>& before) {
    switch (kind) {
        case A::KxModule:
            return moduleNumbers(15);
        case A::KxTarget: {
            std::vector<std::string> out = moduleNumbers(15);
            for (const char* g : {"All_KXxx", "All_KX44", "All_KX-H", "All_WOBE"}) out.push_back(g);
            return out;
        }
        case A::KxSetting:
            return settingNames();
        case A::KxValue:
            return before.empty() ? std::vector<std::string>{} : settingValues(before.back());
        case A::ZrTarget: {
            std::vector<std::string> out = moduleNumbers(7);
            out.push_back("All");
            return out;
        }
        case A::ZrSetting:
            return {"default-time", "device"};
        case A::FunctionGroup:
            return std::vector<std::string>(results::kFunctionGroupNames.begin(), results::kFunctionGroupNames.end());
        case A::Function:
            return before.empty() ? std::vector<std::string>{} : results::functionsOfGroup(before.front());
        case A::Shell:
            return {"bash", "zsh", "fish"};
        case A::Command: {
            std::set<std::string> first;
            for (const CommandEntry& c : commandEntries()) first.insert(c.words[0]);
            return {first.begin(), first.end()};
        }
        case A::Free:
        case A::File:
            break;
    }
    return {};
}

// The later words of "zr set MODULE device D ...": time or power, then a power's name.
std::vector<std::string> zrSetTail(const std::vector<std::string>& args) {
    if (args.size() == 3 && args[1] == "device") return {"time", "power"};
    if (args.size() == 4 && args[3] == "power") {
        std::vector<std::string> out;
        for (const char* name : kZrPowerNames) out.push_back(name);
        return out;
    }
    return {};
}

}  // namespace

std::vector<std::string> completionCandidates(const std::vector<std::string>& words,
                                              std::size_t current) {
    const std::string typed = current < words.size() ? words[current] : "";
    // Positional words before the current one, and the option whose value is asked.
    std::vector<std::string> positional;
    const OptionEntry* valueOf = nullptr;
    for (std::size_t i = 1; i < current && i < words.size(); ++i) {
        const std::string& w = words[i];
        valueOf = nullptr;
        if (w.starts_with("-") && w.size() > 1 && w.find('=') == std::string::npos) {
            const OptionEntry* o = findOption(w.substr(w.starts_with("--") ? 2 : 1));
            if (o && o->valueName) valueOf = o;
            if (o && o->valueName && i + 1 < current) {
                ++i;
                valueOf = nullptr;
            }
            continue;
        }
        positional.push_back(w);
    }
    if (valueOf) return valueOf->values;

    std::size_t used = 0;
    const CommandEntry* command = findCommand(positional, used);
    if (typed.starts_with("-")) {
        std::vector<std::string> out;
        for (const OptionEntry& o : optionEntries())
            if (command ? command->takesOption(o.name) : isGlobalOption(o.name))
                out.push_back(std::string("--") + o.name);
        return out;
    }
    if (!command) {
        // The first word, or the second of a family ("kx get").
        std::set<std::string> out;
        for (const CommandEntry& c : commandEntries()) {
            if (positional.empty()) out.insert(c.words[0]);
            if (positional.size() == 1 && c.words.size() > 1 && positional[0] == c.words[0])
                out.insert(c.words[1]);
        }
        return {out.begin(), out.end()};
    }
    const std::vector<std::string> args(positional.begin() + static_cast<std::ptrdiff_t>(used),
                                        positional.end());
    if (command->path() == "zr set" && args.size() >= 2) return zrSetTail(args);
    if (command->argumentKinds.empty()) return {};
    const std::size_t index = std::min(args.size(), command->argumentKinds.size() - 1);
    const bool repeats = index == command->argumentKinds.size() - 1;
    if (args.size() >= command->argumentKinds.size() && !repeats) return {};
    const ArgumentKind kind = command->argumentKinds[index];
    if (kind == A::Function || kind == A::Command) return offered(kind, args);
    if (args.size() > index) return {};
    return offered(kind, args);
}

std::optional<std::string> completionScript(const std::string& shell) {
    if (shell == "bash")
        return R"(# bash completion for korvelctl
_korvelctl() {
    local IFS=$'\n' cur=${COMP_WORDS[COMP_CWORD]}
    local candidates
    candidates=$("${COMP_WORDS[0]}" __complete "$COMP_CWORD" "${COMP_WORDS[@]}" 2>/dev/null)
    COMPREPLY=($(compgen -W "$candidates" -- "$cur"))
}
complete -o default -o nosort -F _korvelctl korvelctl
)";
    if (shell == "zsh")
        return R"(#compdef korvelctl
# zsh completion for korvelctl
_korvelctl() {
    local -a candidates
    candidates=("${(@f)$("${words[1]}" __complete $((CURRENT - 1)) "${words[@]}" 2>/dev/null)}")
    candidates=(${candidates:#})
    if (( ${#candidates} )); then
        compadd -Q -- "${candidates[@]}"
    else
        _files
    fi
}
if [ "$funcstack[1]" = "_korvelctl" ]; then
    _korvelctl "$@"
else
    compdef _korvelctl korvelctl
fi
)";
    if (shell == "fish")
        return R"(# fish completion for korvelctl
function __korvelctl_complete
    set -l words (commandline -opc) (commandline -ct)
    set -l candidates (korvelctl __complete (math (count $words) - 1) $words 2>/dev/null)
    if test (count $candidates) -eq 0
        __fish_complete_path (commandline -ct)
    else
        printf '%s\n' $candidates
    end
end
complete -c korvelctl -f -a '(__korvelctl_complete)'
)";
    return std::nullopt;
}

}  // namespace korvel::ctl
