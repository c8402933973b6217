#pragma once

#include <optional>
#include <string>
#include <vector>

namespace korvel::ctl {

// What the shell may offer for the word at `current` of a command line
// (words[0] is the program). Empty where a file name goes, or nothing fits:
// the shell then offers files. Every candidate is offered; the shell keeps
// those that start with what is typed.
std::vector<std::string> completionCandidates(const std::vector<std::string>& words,
                                              std::size_t current);

// The completion script of "bash", "zsh" or "fish": a thin layer that asks
// korvelctl itself for the candidates, so every shell offers what the command
// table holds. nullopt for another shell.
std::optional<std::string> completionScript(const std::string& shell);

// The hidden command the scripts call: korvelctl __complete CURRENT WORD...
inline constexpr const char* kCompleteCommand = "__complete";

}  // namespace korvel::ctl
