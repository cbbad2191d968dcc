#pragma once
// Shared helpers for the tests: temporary folders, copies of test data, running quillon-cli.
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <ostream>

#include "test_paths.h"

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace quillon::test {

// Copies a folder recursively into dest, keeping symbolic links as stored and modification times.
bool copyTree(const QString& source, const QString& dest);
// Every entry below dir as a sorted relative path ("a/b.txt"); an empty folder counts as an
// entry, links are listed but not followed.
QStringList filesBelow(const QString& dir);

// Writes text (UTF-8) to a file, creating its folders.
bool writeFile(const QString& path, const QByteArray& content);
QByteArray readFile(const QString& path);

struct CliResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};
// Runs quillon-cli with the arguments and environment additions ("NAME=value"); the process
// environment is kept except for variables that would leak the developer's own setup.
CliResult runCli(const QStringList& arguments, const QStringList& environment = {}, int timeoutMs = 60000);
// The same for another copy of the program.
CliResult runProgram(const QString& program, const QStringList& arguments,
                     const QStringList& environment = {}, int timeoutMs = 60000);

// Makes a folder unwritable for this process, also when it runs as root (then through the
// immutable attribute); the guard restores it. ok() is false when neither works here.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(QString path);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
    bool ok() const { return m_ok; }

private:
    QString m_path;
    bool m_immutable = false;
    bool m_ok = false;
};

// True in CI, where everything a test needs is installed and every failure path can be made.
bool inCi();

// True when MinGW-built files are available; in CI a missing tool fails the test instead.
bool requireMingw();

} // namespace quillon::test

// Ends the test when what it needs is missing here: a skip on a developer's machine, a failure
// in CI, so that a check that did not run cannot pass there unseen.
#define QUILLON_SKIP_UNLESS(available, why)                                                                  \
    do {                                                                                                     \
        if (!(available)) {                                                                                  \
            if (::quillon::test::inCi())                                                                     \
                FAIL() << (why);                                                                             \
            GTEST_SKIP() << (why);                                                                           \
        }                                                                                                    \
    } while (false)
