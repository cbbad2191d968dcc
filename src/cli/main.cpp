#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = QCoreApplication::arguments();
    if (args.contains(QStringLiteral("--version"))) {
        out << QStringLiteral(QUILLON_VERSION) << Qt::endl;
        return 0;
    }
    out << QStringLiteral("usage: quillon-cli [--help] [--version] COMMAND") << Qt::endl;
    return args.contains(QStringLiteral("--help")) ? 0 : 2;
}
