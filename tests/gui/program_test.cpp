// The desktop program's own command line, answered without a display.
#include <QProcess>

#include <gtest/gtest.h>

namespace quillon {
namespace {

struct ProgramRun {
    int exitCode = -1;
    QByteArray out, err;
};

ProgramRun runProgram(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(QUILLON_GUI_PATH), arguments);
    ProgramRun run;
    if (!process.waitForFinished(10000)) {
        process.kill();
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

TEST(DesktopProgram, HelpAndWrongUsageAnswerOnTheTerminal) {
    const ProgramRun help = runProgram({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* word :
         {"--settings-dir", "--wine-prefix", "--wine PROGRAM", "--lang", "autostartinstall"})
        EXPECT_TRUE(help.out.contains(word)) << word;

    const ProgramRun missing = runProgram({QStringLiteral("--lang")});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains("--lang")) << missing.err.constData();
    const ProgramRun unknown = runProgram({QStringLiteral("--colour")});
    EXPECT_EQ(unknown.exitCode, 2);
    // A switch word is taken bare too; another word is named, and the help still answers.
    const ProgramRun word =
        runProgram({QStringLiteral("autostrat"), QStringLiteral("autostart"), QStringLiteral("--help")});
    EXPECT_EQ(word.exitCode, 0);
    EXPECT_TRUE(word.err.contains("unknown switch ignored: autostrat")) << word.err.constData();
    EXPECT_FALSE(word.err.contains("switch ignored: autostart ")) << word.err.constData();
}

} // namespace
} // namespace quillon
