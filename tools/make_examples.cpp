// Writes the sample files for newcomers: make_examples [folder], by default
// "examples" in the current folder.
#include "ExampleFiles.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char* argv[]) {
    // The rich text boxes need a GUI application, but never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 2) {
        std::fprintf(stderr, "usage: make_examples [folder]\n");
        return 2;
    }
    const QString folder = arguments.value(1, "examples");
    QString error;
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "make_examples: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    if (!ExampleFiles::write(folder, &error)) {
        std::fprintf(stderr, "make_examples: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("make_examples: %s, %s and %s written to %s\n", ExampleFiles::QuestionFileName,
                ExampleFiles::ProtectedFileName, ExampleFiles::MarkFileName,
                qPrintable(QDir(folder).absolutePath()));
    return 0;
}
