#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quillon " QUILLON_VERSION));
    window.resize(475, 593);
    window.show();
    return QApplication::exec();
}
