#include "support/FileMenu.h"

#include <QFile>
#include <QImage>
#include <QMimeDatabase>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The program installed as `cmake --install build --prefix P` installs it,
// into a prefix of the test's own, and what a desktop finds there.
namespace {
const QString Id = KUMEMO_APP_ID;

struct Finished {
    int exitCode = -1;
    QString output;
};

Finished run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Finished finished;
    if (!process.waitForFinished(300000))
        finished.output = program + ": " + process.errorString();
    else if (process.exitStatus() == QProcess::NormalExit)
        finished.exitCode = process.exitCode();
    finished.output += QString::fromLocal8Bit(process.readAll());
    return finished;
}
} // namespace

class TestInstall : public QObject {
    Q_OBJECT
    QTemporaryDir prefix_;
    QString path(const QString& relative) const { return prefix_.filePath(relative); }

  private slots:
    void initTestCase() {
        QVERIFY(prefix_.isValid());
        const Finished install =
            run(KUMEMO_CMAKE, {"--install", KUMEMO_BUILD_DIR, "--prefix", prefix_.path()});
        QVERIFY2(install.exitCode == 0, qPrintable(install.output));
        // File types come from the prefix alone, not from the machine's.
        qputenv("XDG_DATA_HOME", path("home").toLocal8Bit());
        qputenv("XDG_DATA_DIRS", path("share").toLocal8Bit());
    }

    void places_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("pixels"); // an icon's width and height; 0: no picture
        for (const char* file : {"bin/kuMemo", "share/man/man1/kuMemo.1", "share/kuMemo/kuMemo-ini.txt",
                                 "share/kuMemo/sample.kmd", "share/kuMemo/sample.kme"})
            QTest::newRow(file) << QString(file) << 0;
        for (const QString& file :
             {"share/applications/" + Id + ".desktop", "share/metainfo/" + Id + ".metainfo.xml",
              "share/mime/packages/" + Id + ".xml",
              "share/icons/hicolor/scalable/apps/" + Id + ".svg"})
            QTest::newRow(qPrintable(file)) << file << 0;
        for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QString file = QString("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(Id);
            QTest::newRow(qPrintable(file)) << file << size;
        }
    }
    void places() {
        QFETCH(QString, file);
        QFETCH(int, pixels);
        QVERIFY2(QFile::exists(path(file)), qPrintable(file));
        if (pixels)
            QCOMPARE(QImage(path(file)).size(), QSize(pixels, pixels));
    }

    void validators_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("desktop entry")
            << "desktop-file-validate"
            << QStringList{path("share/applications/" + Id + ".desktop")};
        QTest::newRow("metainfo") << "appstreamcli"
                                  << QStringList{"validate", "--no-net", "--strict",
                                                 path("share/metainfo/" + Id + ".metainfo.xml")};
        // The metainfo together with the desktop entry and icons it refers to.
        QTest::newRow("installed tree")
            << "appstreamcli" << QStringList{"validate-tree", "--no-net", "--strict", path("")};
    }
    void validators() {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        const Finished check = run(program, arguments);
        QVERIFY2(check.exitCode == 0 && !check.output.contains("warning", Qt::CaseInsensitive),
                 qPrintable(check.output));
    }

    void fileTypes_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QString>("type");
        const QString questions = "application/x-kumemo-questions";
        QTest::newRow("question file") << "a.kmd"
                                       << "sample.kmd" << questions;
        QTest::newRow("name in capitals") << "A.KMD"
                                          << "sample.kmd" << questions;
        QTest::newRow("protected, mixed case") << "a.Kme"
                                               << "sample.kme"
                                               << "application/x-kumemo-protected-questions";
        QTest::newRow("known by its first bytes") << "questions"
                                                  << "sample.kmd" << questions;
    }
    void fileTypes() {
        QFETCH(QString, name);
        QFETCH(QString, sample);
        QFETCH(QString, type);
        QTemporaryDir folder;
        const QString file = folder.filePath(name);
        QVERIFY(QFile::copy(path("share/kuMemo/" + sample), file));
        QCOMPARE(QMimeDatabase().mimeTypeForFile(file).name(), type);
    }

    // The installed program's folder here is writable, so it is the
    // program's folder; its first start brings the sample mark file there.
    void firstStartCopiesTheSampleMarkFile() {
        const QString copy = path("bin/kuMemo-ini.txt");
        QVERIFY(!QFile::exists(copy));
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("HOME", path("home"));
        environment.insert("XDG_CONFIG_HOME", path("home/.config"));
        program.setProcessEnvironment(environment);
        program.start(path("bin/kuMemo"), {});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(copy), 60000);
        program.kill();
        program.waitForFinished();
        QCOMPARE(fileBytes(copy), fileBytes(path("share/kuMemo/kuMemo-ini.txt")));
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
