#pragma once
// What the harnesses share: the input as Qt types, scratch files in memory-backed storage, and a
// check that turns a broken property into a crash libFuzzer reports and keeps.
#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace quillon::fuzz {

QByteArray bytesOf(const std::uint8_t* data, std::size_t size);

// The input cut at "\n" into at most count parts; the last part keeps the rest.
QList<QByteArray> splitInput(const QByteArray& bytes, int count);

// A folder of this process, removed at exit (on /dev/shm when there is one).
const QString& scratchDir();
// Replaces the file's content; aborts when it cannot, since every later check would be void.
void writeFile(const QString& path, const QByteArray& bytes);

[[noreturn]] void fail(const char* condition, const char* file, int line);

} // namespace quillon::fuzz

#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            ::quillon::fuzz::fail(#condition, __FILE__, __LINE__);                                           \
    } while (false)
