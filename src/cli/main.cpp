#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

#include "cli/cli_application.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quillon"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    quillon::cli::CliApplication cli(out, err);
    const int status = cli.run(QCoreApplication::arguments(), QCoreApplication::applicationFilePath());
    out.flush();
    err.flush();
    return status;
}
