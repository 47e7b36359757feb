#include "platform/AppSetup.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void registerFontSubstitutes() {
    // Files name the Windows gothic and mincho fonts; IPA's fonts share their
    // metrics. Any installed Japanese font serves when IPA's are missing.
    QStringList gothic{"IPAGothic", "IPAPGothic", "IPAexGothic", "Noto Sans CJK JP",
                       "VL Gothic", "TakaoGothic"};
    QStringList mincho{"IPAMincho", "IPAPMincho", "IPAexMincho", "Noto Serif CJK JP"};
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    gothic += japanese;
    mincho += gothic;
    for (const char* name : {"ＭＳ ゴシック", "ＭＳ Ｐゴシック", "MS Gothic", "MS PGothic",
                             "MS UI Gothic", "メイリオ", "Meiryo"})
        QFont::insertSubstitutions(QString::fromUtf8(name), gothic);
    for (const char* name : {"ＭＳ 明朝", "ＭＳ Ｐ明朝", "MS Mincho", "MS PMincho"})
        QFont::insertSubstitutions(QString::fromUtf8(name), mincho);
}

void setupApplication(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), "qtbase", "_",
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    registerFontSubstitutes();
    app.setApplicationName("kuMemo");
    app.setOrganizationName("KumemoSTUDIOS");
}
