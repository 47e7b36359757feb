#include "platform/AppSetup.h"

#include "platform/Accessibility.h"
#include "platform/ScreenFit.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QSet>
#include <QTranslator>

// Files name the Windows gothic and mincho fonts; IPA's fonts share their
// metrics. Any installed Japanese font serves when IPA's are missing.
static QStringList gothicSubstitutes() {
    return QStringList{"IPAGothic",        "IPAPGothic", "IPAexGothic",
                       "Noto Sans CJK JP", "VL Gothic",  "TakaoGothic"} +
           QFontDatabase::families(QFontDatabase::Japanese);
}

void registerFontSubstitutes() {
    const QStringList gothic = gothicSubstitutes();
    const QStringList mincho =
        QStringList{"IPAMincho", "IPAPMincho", "IPAexMincho", "Noto Serif CJK JP"} + gothic;
    for (const char* name : {"ＭＳ ゴシック", "ＭＳ Ｐゴシック", "MS Gothic", "MS PGothic",
                             "MS UI Gothic", "メイリオ", "Meiryo"})
        QFont::insertSubstitutions(QString::fromUtf8(name), gothic);
    for (const char* name : {"ＭＳ 明朝", "ＭＳ Ｐ明朝", "MS Mincho", "MS PMincho"})
        QFont::insertSubstitutions(QString::fromUtf8(name), mincho);
}

void substituteMissingFont(const QString& family) {
    static QSet<QString> checked;
    if (family.isEmpty() || checked.contains(family))
        return;
    checked.insert(family);
    if (QFont::substitutes(family).isEmpty() && !QFontDatabase::hasFamily(family))
        QFont::insertSubstitutions(family, gothicSubstitutes());
}

void setupApplication(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), "qtbase", "_",
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    registerFontSubstitutes();
    installAccessibleInterfaces();
    installScreenFit(app);
    app.setApplicationName("kuMemo");
    app.setOrganizationName("KumemoSTUDIOS");
    // Desktops find the program's entry and icon by this name.
    app.setDesktopFileName(KUMEMO_APP_ID);
    QApplication::setWindowIcon(QIcon::fromTheme(KUMEMO_APP_ID));
}

QString commandLineFile(const QStringList& arguments) {
    const QString file = arguments.value(1);
    return file.isEmpty() ? file : QFileInfo(file).absoluteFilePath();
}
