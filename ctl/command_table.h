#pragma once

#include <QStringList>
#include <span>
#include <string>
#include <vector>

namespace korvel::ctl {

class Command;
// Runs a command: reads its arguments, calls the operation, renders the result.
using CommandHandler = int (*)(Command& command, const QStringList& args);

// What a positional argument holds, for completion.
enum class ArgumentKind {
    Free,           // nothing to offer
    File,           // a file name: the shell's own completion
    KxModule,       // 0..15, 2.0, 2.1
    KxTarget,       // a module or a group
    KxSetting,      // a setting's terminal name
    KxValue,        // a value of the setting before it
    ZrTarget,       // 0..7 or All
    ZrSetting,      // default-time or device
    FunctionGroup,  // a test button's caption
    Function,       // L, F1..F28
    Shell,          // bash, zsh, fish
    Command,        // a command's first word
};

// One option of the command line: its names, the value it takes, and what the
// shell may offer for that value.
struct OptionEntry {
    const char* name;       // long name, without the dashes
    const char* shortName;  // one letter, or null
    const char* valueName;  // "PORT"; null for a flag
    const char* help;
    std::vector<std::string> values;  // offered by completion
};

// One command: the words that name it, its arguments, its options, its text.
struct CommandEntry {
    std::vector<const char*> words;  // {"kx", "set"}
    const char* arguments;           // "MODULE SETTING VALUE"
    const char* summary;             // one line
    const char* description;         // the rest of its usage, lines of at most 76 characters
    std::vector<const char*> options;
    std::vector<ArgumentKind> argumentKinds;  // the last one repeats
    std::vector<const char*> examples;
    bool needsLine = true;
    CommandHandler run = nullptr;  // null for help and completion, which the parser answers

    std::string path() const;  // "kx set"
    bool takesOption(const std::string& name) const;
};

std::span<const CommandEntry> commandEntries();
// Options every command takes, then those of the commands.
std::span<const OptionEntry> optionEntries();
bool isGlobalOption(const std::string& name);
const OptionEntry* findOption(const std::string& name);  // long or short name

// The command the leading words name, and how many words that took; null when none.
const CommandEntry* findCommand(const std::vector<std::string>& words, std::size_t& used);
// The commands whose first word is `word` ("kx": get, set, erase, ms-check).
std::vector<const CommandEntry*> commandFamily(const std::string& word);

// --help: usage, the commands, the options, the exit status.
std::string overviewHelp();
// One command's own usage, options and examples; a family's when given its first word.
std::string commandHelp(const std::vector<const CommandEntry*>& commands);
// --help-all: the overview and every command's own help.
std::string fullHelp();
// The man page's sections beyond --help, as help2man's include file.
std::string manPageSections();

}  // namespace korvel::ctl
