#include "ctl/command_table.h"

#include <algorithm>
#include <sstream>

#include "ctl/handlers.h"
#include "ops/kx_names.h"

namespace korvel::ctl {

namespace {

using A = ArgumentKind;

std::vector<std::string> numbers(int first, int last) {
    std::vector<std::string> out;
    for (int n = first; n <= last; ++n) out.push_back(std::to_string(n));
    return out;
}

const std::vector<OptionEntry>& options() {
    static const std::vector<OptionEntry> table{
        // Every command's.
        {"port", "p", "PORT",
         "The port: a number 1-16 of the port table, a device path, tcp://HOST:PORT or "
         "rfc2217://HOST:PORT. Without it, KORVEL_PORT.",
         numbers(1, 16)},
        {"demo", nullptr, nullptr, "Use the built-in simulated system instead of a port.", {}},
        {"json",
         nullptr,
         nullptr,
         "Print one JSON object for the run on standard output, failures included.",
         {}},
        {"verbose",
         "v",
         nullptr,
         "Write every exchange to standard error as the message log does.",
         {}},
        {"quiet", "q", nullptr, "Print no notes or progress: the result and errors only.", {}},
        {"retries",
         nullptr,
         "N",
         "Ask again this many times when a read gets no answer (default 3).",
         {}},
        {"help", "h", nullptr, "Print this help, or a command's own.", {}},
        {"help-all", nullptr, nullptr, "Print the help of every command.", {}},
        {"version", "V", nullptr, "Print the version.", {}},
        // The commands'.
        {"classic", nullptr, nullptr, "Ask as the classic status view does.", {}},
        {"permanent", nullptr, nullptr, "The stored setting instead of the active one.", {}},
        {"on", nullptr, nullptr, "The on-delay of alarm-delay or switch-delay.", {}},
        {"bank", nullptr, "0|1", "The bank of switch-delay.", {"0", "1"}},
        {"loop", nullptr, "A|B", "The loop of loop-current.", {"A", "B"}},
        {"yes", nullptr, nullptr, "Erase without asking; it cannot be undone.", {}},
        {"config",
         nullptr,
         "BITS",
         "Configuration bits to set, by number or caption (\"4,ZR 64d\"), or none.",
         {"none"}},
        {"options",
         nullptr,
         "BITS",
         "Option bits to set, by number or caption, or none.",
         {"none"}},
        {"block", nullptr, "B", "The block, 0-127 (default 0).", {}},
        {"decoder", nullptr, "A", "The decoder address, 0-16383 (default 1).", {}},
        {"only", nullptr, "MODULE", "Only these modules of the file.", {}},
        {"map", nullptr, "OLD=NEW", "Put the settings of module OLD on module NEW.", {}},
        {"dry-run", nullptr, nullptr, "Print what would be written; send nothing.", {}},
        {"allow-any-value", nullptr, nullptr, "Also write values the page could not send.", {}},
    };
    return table;
}

constexpr std::size_t kGlobalOptionCount = 9;

// Words in lines of at most 76 characters, as every description is written.
std::string wrapped(const std::string& text) {
    std::string out, line;
    std::istringstream words(text);
    for (std::string w; words >> w;) {
        if (!line.empty() && line.size() + 1 + w.size() > 76) {
            out += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + w;
    }
    return out + line;
}

// The settings kx get names follow the settings table.
const std::string& kxGetDescription() {
    static const std::string text =
        wrapped("MODULE is 0-15, or 2.0 and 2.1 for the halves of a KX44. SETTING is " +
                ops::kxSettingSynopsis() + ".");
    return text;
}

const std::vector<CommandEntry>& commands() {
    static const std::vector<CommandEntry> table{
        {{"ports"},
         "",
         "The port numbers that can be opened, with their devices.",
         "A port that exists but cannot be opened is named on standard error, with the\n"
         "reason: the group to join, or the program that holds it.",
         {},
         {},
         {"korvelctl ports"},
         false,
         &ports},
        {{"status"},
         "",
         "The controller's versions and status, and every module that answered.",
         "Each module with its type, state and version; a module whose query got no\n"
         "answer is listed as not answering, and the exit status is then 1.",
         {"classic"},
         {},
         {"korvelctl --demo status", "korvelctl -p 5 status --classic --json"},
         true,
         &printStatus},
        {{"monitor"},
         "",
         "Polls as the window does and prints every message, until Ctrl+C.",
         "Every message the controller held, in words; --json prints JSON Lines.",
         {},
         {},
         {"korvelctl -p 5 monitor --json"},
         true,
         &monitor},
        {{"kx", "get"},
         "MODULE [SETTING]",
         "The value a KX module reports; without SETTING, every setting its type offers.",
         kxGetDescription().c_str(),
         {"permanent", "on", "bank", "loop"},
         {A::KxModule, A::KxSetting},
         {"korvelctl --demo kx get 0 hfi", "korvelctl --demo kx get 2.1 --permanent"},
         true,
         &kxGet},
        {{"kx", "set"},
         "MODULE SETTING VALUE",
         "Writes a KX setting and says whether the module confirmed it.",
         "MODULE may also be a group: All_KXxx, All_KX44, All_KX-H or All_WOBE. An\n"
         "option is given by number or name (ocd slow). A value out of range is refused\n"
         "and nothing is sent.",
         {"permanent", "on", "bank", "loop"},
         {A::KxTarget, A::KxSetting, A::KxValue},
         {"korvelctl --demo kx set 0 alarm-delay --on 100 --permanent",
          "korvelctl --demo kx set All_KX44 ocd slow"},
         true,
         &kxSet},
        {{"kx", "erase"},
         "MODULE|GROUP",
         "Erases every setting of a KX module or group.",
         "It cannot be undone: give --yes, or type \"erase\" when asked on a terminal.",
         {"yes"},
         {A::KxTarget},
         {"korvelctl --demo kx erase 0 --yes"},
         true,
         &kxErase},
        {{"kx", "ms-check"},
         "",
         "Asks every KX-H and KX44 for its master/slave mode and judges the answers.",
         "The exit status is 1 unless there is exactly one master.",
         {},
         {},
         {"korvelctl --demo kx ms-check"},
         true,
         &kxMsCheck},
        {{"zr", "report"},
         "MODULE",
         "The configuration report of ZR32 module 0-7.",
         "The page's report text: the default time, then each device's time and power.",
         {"permanent"},
         {A::ZrTarget},
         {"korvelctl --demo zr report 1 --permanent"},
         true,
         &zrReport},
        {{"zr", "set"},
         "MODULE default-time T | MODULE device D time T | MODULE device D power P",
         "Writes a ZR32 setting: the default time, or a device's time or power.",
         "MODULE is 0-7 or All. Times are 0-127 in 1/60 s, devices 0-63, power Normal,\n"
         "Low, High, Unlimited or 0-3. A number is whole decimal digits in its range;\n"
         "anything else is refused and nothing is sent.",
         {"permanent"},
         {A::ZrTarget, A::ZrSetting, A::Free},
         {"korvelctl --demo zr set 1 default-time 12",
          "korvelctl --demo zr set 1 device 5 time 30 --permanent",
          "korvelctl --demo zr set 1 device 5 power high"},
         true,
         &zrSet},
        {{"zr", "erase"},
         "MODULE",
         "Erases every setting of a ZR32 module, or of All.",
         "It cannot be undone: give --yes, or type \"erase\" when asked on a terminal.",
         {"yes"},
         {A::ZrTarget},
         {"korvelctl --demo zr erase 1 --yes"},
         true,
         &zrErase},
        {{"vg", "set"},
         "",
         "Writes the VG unit's configuration bits or option bits.",
         "Only the bits the unit offers, as the status request reports it; a bit not\n"
         "given is cleared. --permanent stores the configuration (the options have no\n"
         "stored form).",
         {"config", "options", "permanent"},
         {},
         {"korvelctl --demo vg set --config \"YN32 retr,ZR 64d\"",
          "korvelctl --demo vg set --options 1,6"},
         true,
         &vgSet},
        {{"reset-fault"},
         "",
         "Sends Reset Fault to the controller.",
         "",
         {},
         {},
         {"korvelctl --demo reset-fault"},
         true,
         &resetFault},
        {{"test"},
         "GROUP [FUNCTION...]",
         "Switches the functions of one group of a DCC decoder: those named on, the rest off.",
         "GROUP is F1..F4+L, F5..F8, F9..F12, F13..F20 or F21..F28; a FUNCTION is L or\n"
         "F1-F28 of that group.",
         {"block", "decoder"},
         {A::FunctionGroup, A::Function},
         {"korvelctl --demo test F1..F4+L L F1 --decoder 3"},
         true,
         &functionTest},
        {{"backup"},
         "FILE",
         "Every setting of every KX and ZR32 module, active and permanent, into a file.",
         "A backup is whole or not written. - writes it to standard output.",
         {},
         {A::File},
         {"korvelctl -p 5 backup site-a.json"},
         true,
         &backupCommand},
        {{"restore"},
         "FILE",
         "Writes the permanent settings of a backup back and reads each one back.",
         "Modules are named kx:5, kx:2.1, zr:1. - reads the file from standard input.",
         {"only", "map", "dry-run", "allow-any-value"},
         {A::File},
         {"korvelctl -p 5 restore site-a.json --dry-run",
          "korvelctl -p 5 restore site-a.json --only kx:3 --map kx:3=kx:7"},
         true,
         &restoreCommand},
        {{"verify"},
         "FILE",
         "Compares the live system's permanent settings with a backup; writes nothing.",
         "Prints each difference; the exit status is 1 if there is one. - reads the\n"
         "file from standard input.",
         {"only", "map"},
         {A::File},
         {"korvelctl -p 5 verify site-a.json"},
         true,
         &verifyCommand},
        {{"completion"},
         "SHELL",
         "Prints the completion script for bash, zsh or fish.",
         "bash: source <(korvelctl completion bash)",
         {},
         {A::Shell},
         {"korvelctl completion bash > ~/.local/share/bash-completion/completions/korvelctl"},
         false},
        {{"help"},
         "[COMMAND]",
         "Prints a command's own usage and examples.",
         "",
         {},
         {A::Command},
         {"korvelctl help zr set"},
         false},
    };
    return table;
}

// `text` after `head` (which ends in its own blank), wrapped at 79 columns,
// every further line indented to `indent`.
std::string wrapped(const std::string& head, const std::string& text, std::size_t indent) {
    std::string out = head;
    std::size_t column = head.size() - head.rfind('\n') - 1;
    bool lineStart = true;
    std::istringstream in(text);
    for (std::string word; in >> word;) {
        if (!lineStart && column + 1 + word.size() > 79) {
            out += "\n" + std::string(indent, ' ');
            column = indent;
        } else if (!lineStart) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        lineStart = false;
    }
    return out + "\n";
}

std::string usageLine(const CommandEntry& c) {
    std::string line = "korvelctl";
    if (c.needsLine) line += " [-p PORT | --demo]";
    line += " " + c.path();
    if (*c.arguments) line += std::string(" ") + c.arguments;
    for (const char* name : c.options) {
        const OptionEntry& o = *findOption(name);
        line += std::string(" [--") + o.name + (o.valueName ? std::string(" ") + o.valueName : "") +
                "]";
    }
    return line;
}

void optionLines(std::ostream& out, const OptionEntry& o) {
    std::string names = o.shortName ? std::string("-") + o.shortName + ", " : "    ";
    names += std::string("--") + o.name;
    if (o.valueName) names += std::string(" ") + o.valueName;
    names = "  " + names;
    names += names.size() < 23 ? std::string(24 - names.size(), ' ') : "\n" + std::string(24, ' ');
    out << wrapped(names, o.help, 24);
}

constexpr const char* kExitStatus =
    "Exit status:\n"
    "  0    success\n"
    "  1    the controller or a module did not answer, a write was not confirmed,\n"
    "       a verify or restore found differences, or a file could not be read or\n"
    "       written\n"
    "  2    a usage error, found before anything is sent\n"
    "  128+N  stopped by signal N (130 for Ctrl+C); the exchange in hand ends first\n";

// Dashes in a man page are hyphens unless escaped; options need the minus sign.
std::string manText(std::string text) {
    for (std::size_t at = 0; (at = text.find('-', at)) != std::string::npos; at += 2)
        text.insert(at, "\\");
    return text;
}

}  // namespace

std::string CommandEntry::path() const {
    std::string out;
    for (const char* w : words) out += (out.empty() ? "" : " ") + std::string(w);
    return out;
}

bool CommandEntry::takesOption(const std::string& name) const {
    return isGlobalOption(name) ||
           std::any_of(options.begin(), options.end(), [&](const char* o) { return name == o; });
}

std::span<const CommandEntry> commandEntries() {
    return commands();
}

std::span<const OptionEntry> optionEntries() {
    return options();
}

bool isGlobalOption(const std::string& name) {
    for (std::size_t i = 0; i < kGlobalOptionCount; ++i) {
        const OptionEntry& o = options()[i];
        if (name == o.name || (o.shortName && name == o.shortName)) return true;
    }
    return false;
}

const OptionEntry* findOption(const std::string& name) {
    for (const OptionEntry& o : options())
        if (name == o.name || (o.shortName && name == o.shortName)) return &o;
    return nullptr;
}

const CommandEntry* findCommand(const std::vector<std::string>& words, std::size_t& used) {
    for (const CommandEntry& c : commands()) {
        if (words.size() < c.words.size()) continue;
        if (std::equal(c.words.begin(), c.words.end(), words.begin())) {
            used = c.words.size();
            return &c;
        }
    }
    return nullptr;
}

std::vector<const CommandEntry*> commandFamily(const std::string& word) {
    std::vector<const CommandEntry*> out;
    for (const CommandEntry& c : commands())
        if (word == c.words[0]) out.push_back(&c);
    return out;
}

std::string overviewHelp() {
    std::ostringstream out;
    out << "Usage: korvelctl [-p PORT | --demo] [OPTION...] COMMAND [ARGUMENT...]\n"
           "Talks to the bus controller of a Korvel control system over a serial port, as\n"
           "KorvelConfig does, from a terminal.\n\nCommands:\n";
    for (const CommandEntry& c : commands()) {
        std::string head = c.path() + (*c.arguments ? std::string(" ") + c.arguments : "");
        if (head.size() > 24) head = c.path() + " ...";
        head = "  " + head;
        head += head.size() < 26 ? std::string(27 - head.size(), ' ') : "\n" + std::string(27, ' ');
        out << wrapped(head, c.summary, 27);
    }
    out << "\nOptions:\n";
    for (const OptionEntry& o : options()) optionLines(out, o);
    out << "\n"
        << kExitStatus
        << "\n\"korvelctl help COMMAND\" or \"korvelctl COMMAND --help\" shows a command's own\n"
           "usage and examples.\n";
    return out.str();
}

std::string commandHelp(const std::vector<const CommandEntry*>& family) {
    std::ostringstream out;
    for (const CommandEntry* c : family) {
        if (c != family.front()) out << '\n';
        out << wrapped("Usage: ", usageLine(*c), 7) << c->summary << '\n';
        if (*c->description) out << c->description << '\n';
        if (!c->options.empty()) out << "\nOptions:\n";
        for (const char* name : c->options) optionLines(out, *findOption(name));
        out << "\nExamples:\n";
        for (const char* e : c->examples) out << "  " << e << '\n';
    }
    return out.str();
}

std::string fullHelp() {
    std::vector<const CommandEntry*> all;
    for (const CommandEntry& c : commands()) all.push_back(&c);
    return overviewHelp() + "\n" + commandHelp(all);
}

std::string manPageSections() {
    std::ostringstream out;
    out << "[EXAMPLES]\n";
    for (const CommandEntry& c : commands())
        for (const char* e : c.examples)
            out << ".TP\n.B " << manText(e) << "\n" << c.summary << "\n";
    out << "[EXIT STATUS]\n"
           ".TP\n0\nsuccess\n"
           ".TP\n1\nthe controller or a module did not answer, a write was not confirmed, "
           "a verify or restore found differences, or a file could not be read or written\n"
           ".TP\n2\na usage error, found before anything is sent\n"
           ".TP\n128+N\nstopped by signal N (130 for Ctrl+C); the exchange in hand ends first\n"
           "[ENVIRONMENT]\n"
           ".TP\n.B KORVEL_PORT\nThe port when -p is not given: a number 1-16, a device path "
           "or a network address.\n"
           "[FILES]\n"
           ".TP\n.I backup files\n"
           "A backup is one JSON object: \"format\" \"korvelctl-backup\", \"version\" 1, "
           "\"date\", \"controller\" (its versions and status) and \"modules\", each with "
           "\"module\" (kx:5, kx:2.1, zr:1), \"type\" (KX-H, KX44, WOBE-s, ZR32), \"firmware\", "
           "and \"active\" and \"permanent\" settings: a KX module's by their korvelctl names, a "
           "ZR32's \"default-time\" and 64 \"devices\" with \"time\" (1/60 s) and \"power\" "
           "(0 Normal, 1 Low, 2 High, 3 Unlimited). Its JSON Schema is "
           "/usr/share/doc/korvelconfig/backup.schema.json.\n"
           ".TP\n.I /usr/share/bash-completion/completions/korvelctl\n"
           ".TQ\n.I /usr/share/zsh/vendor-completions/_korvelctl\n"
           ".TQ\n.I /usr/share/fish/vendor_completions.d/korvelctl.fish\n"
           "The shells' completion of commands, setting names, modules and option values.\n";
    return out.str();
}

}  // namespace korvel::ctl
