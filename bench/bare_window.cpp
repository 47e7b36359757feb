// The floor of a start: a bare Qt window with one label, and nothing else.
// bench_startup starts it beside the program.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("kuMemo"));
    label.show();
    return app.exec();
}
