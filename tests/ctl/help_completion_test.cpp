// The command table speaks for every command: its help, its examples, and the
// shell completion made from it.
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include "ctl/command_table.h"
#include "ops/kx_names.h"
#include "tests/ctl/ctl_rig.h"

namespace korvel::testing {
namespace {

// "help X" and "X --help" show the same text, and every example in it runs
// against the demo system without a usage error.
TEST(CommandHelp, EachCommandsHelpAndItsExamplesWork) {
    MemoryLine line;
    const BackupFolder folder;
    const std::string all = runCtl(line, {"--help-all"}).out;
    for (const ctl::CommandEntry& c : ctl::commandEntries()) {
        std::vector<std::string> help{"help"}, flag;
        for (const char* w : c.words) help.push_back(w), flag.push_back(w);
        flag.push_back("--help");
        const CtlRun byWord = runCtl(line, help);
        EXPECT_EQ(byWord.exit, ctl::kExitOk);
        EXPECT_EQ(byWord.out, runCtl(line, flag).out);
        EXPECT_NE(all.find(byWord.out), std::string::npos) << c.path();
        for (const char* example : c.examples) {
            EXPECT_NE(byWord.out.find(example), std::string::npos);
            if (c.path() == "completion" || c.path() == "help" || c.path() == "monitor") continue;
            // The example's words, quotes removed, against the demo system.
            std::vector<std::string> args;
            static const QRegularExpression word(R"re("([^"]*)"|(\S+))re");
            for (auto m = word.globalMatch(QString(example).mid(10)); m.hasNext();) {
                const auto w = m.next();
                args.push_back(
                    (w.captured(1).isNull() ? w.captured(2) : w.captured(1)).toStdString());
            }
            if (args[0] == "-p") args.erase(args.begin()), args[0] = "--demo";
            if (c.needsLine && c.arguments == std::string("FILE"))
                args[2] = folder.path(c.path() == "backup" ? "new.json" : "b.json");
            args.push_back("--json");
            MemoryLine fresh;
            EXPECT_NE(runCtl(fresh, args).exit, ctl::kExitUsage) << example;
        }
    }
}

// A bash started here loads the generated completion and completes
// "korvelctl kx set 2 " to the setting names.
TEST(Completion, BashOffersTheSettingNamesAfterAModule) {
    QProcess bash;
    bash.setProgram("bash");
    bash.setArguments({"--norc", "--noprofile", "-c",
                       "PATH=" KORVELCTL_DIR ":$PATH; source <(korvelctl completion bash) && "
                       "COMP_WORDS=(korvelctl kx set 2 \"\"); COMP_CWORD=4; _korvelctl; "
                       "echo \"${COMPREPLY[*]}\""});
    bash.start();
    ASSERT_TRUE(bash.waitForFinished(10000));
    std::string names;
    for (const KxSettingRow& row : kKxSettings)
        names += std::string(names.empty() ? "" : " ") + row.termName;
    EXPECT_EQ(bash.readAllStandardOutput().toStdString(), names + "\n");
}

// The backup schema takes every setting name of the table, with each of its
// selector options; the program itself refuses a name the table lacks.
TEST(BackupSchema, TakesEverySettingOfTheTable) {
    QFile file(KORVEL_DOCS_DIR "/backup.schema.json");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject schema = QJsonDocument::fromJson(file.readAll()).object();
    const QRegularExpression names(
        schema["$defs"]["kxSettings"]["propertyNames"]["pattern"].toString());
    for (const ops::KxSettingName& row : ops::kxSettingRows())
        EXPECT_TRUE(names.match(row.name).hasMatch()) << row.name;
    for (const char* wrong : {"Hfi", "hfi --off", "hfi ", "--on"})
        EXPECT_FALSE(names.match(wrong).hasMatch()) << wrong;
}

}  // namespace
}  // namespace korvel::testing
