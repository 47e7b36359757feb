#include "platform/AppSetup.h"

#include "platform/Accessibility.h"
#include "platform/Random.h"
#include "platform/ScreenFit.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QSet>
#include <QTimer>
#include <QTranslator>

// Files name the Windows gothic and mincho fonts; IPA's fonts share their
// metrics. Any installed Japanese font serves when IPA's are missing.
static QStringList gothicSubstitutes() {
    return QStringList{"IPAGothic",        "IPAPGothic", "IPAexGothic",
                       "Noto Sans CJK JP", "VL Gothic",  "TakaoGothic"} +
           QFontDatabase::families(QFontDatabase::Japanese);
}

static void registerFontSubstitutes(const QStringList& gothic) {
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

// Every caption is Japanese. A desktop font without Japanese would show each
// one in two faces on two baselines, and the first caption laid out would
// send Qt through all the machine's fonts for the kana.
static void useJapaneseFont(QApplication& app, const QStringList& gothic) {
    QFont font = app.font();
    if (QFontDatabase::writingSystems(font.family()).contains(QFontDatabase::Japanese))
        return;
    for (const QString& family : QStringList{"IPAPGothic"} + gothic)
        if (QFontDatabase::hasFamily(family)) {
            font.setFamily(family);
            app.setFont(font);
            return;
        }
}

void nameApplication(QApplication& app) {
    app.setApplicationName("kuMemo");
    app.setOrganizationName("KumemoSTUDIOS");
    // Desktops find the program's entry and icon by this name.
    app.setDesktopFileName(KUMEMO_APP_ID);
}

void setupApplication(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), "qtbase", "_",
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    const QStringList gothic = gothicSubstitutes();
    registerFontSubstitutes(gothic);
    useJapaneseFont(app, gothic);
    installAccessibleInterfaces();
    installScreenFit(app);
    nameApplication(app);
    Clock::fixFromEnvironment();
    // Finding the icon in the desktop's icon themes reads many folders: it
    // waits until the first window is on the screen.
    QTimer::singleShot(0, &app,
                       [] { QApplication::setWindowIcon(QIcon::fromTheme(KUMEMO_APP_ID)); });
}

QString commandLineFile(const QStringList& arguments) {
    const QString file = arguments.value(1);
    return file.isEmpty() ? file : QFileInfo(file).absoluteFilePath();
}
