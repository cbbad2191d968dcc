#pragma once
// quillon-cli from the argument list to the exit status: usage errors, the commands that need
// no engine, and the ones that run between the program's start-up and shutdown.
#include <QStringList>
#include <QTextStream>

namespace quillon::cli {

class CliApplication {
public:
    CliApplication(QTextStream& out, QTextStream& err) : m_out(out), m_err(err) {}
    // arguments includes argument 0; programPath is the running executable.
    int run(const QStringList& arguments, const QString& programPath);

private:
    int usageError(const QString& message);

    QTextStream& m_out;
    QTextStream& m_err;
};

} // namespace quillon::cli
