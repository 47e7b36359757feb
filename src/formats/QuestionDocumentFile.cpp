#include "formats/QuestionDocumentFile.h"

#include "data/Markup.h"
#include "data/QuestionDocument.h"
#include "data/QuestionRecord.h"
#include "formats/PieceDecoder.h"
#include "formats/ProtectedFile.h"
#include "formats/QuestionFile.h"
#include "platform/AtomicFile.h"
#include "platform/LzExpand.h"
#include "platform/rtf/RtfReader.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>

#include <utility>

namespace QuestionDocumentFile {

namespace {

// A key for a record whose own key is missing, cut or taken, made from the
// record and its place in the file: the same file gives the same keys every
// time it is opened, so a learner's results carry over.
QString repairedKey(const QuestionDocument& document, const QString& record, int position) {
    for (quint32 attempt = 0;; ++attempt) {
        QCryptographicHash hash(QCryptographicHash::Sha1);
        hash.addData(QByteArray::number(position) + ':' + QByteArray::number(attempt) + ':');
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(record.constData()),
                                    record.size() * qsizetype(sizeof(QChar))));
        const QByteArray digest = hash.result();
        QString key;
        for (int i = 0; i < 5; ++i)
            key += keyAlphabet.at(static_cast<unsigned char>(digest.at(i)) % keyAlphabet.size());
        if (!document.contains(key))
            return key;
    }
}

} // namespace

ReadResult readFile(QuestionDocument& document, const QString& path) {
    if (!ProtectedFile::isProtectedPath(path)) {
        const QByteArray bytes = LzExpand::readFile(path).bytes;
        // A file that does not begin as a question file is refused before
        // the rest is decoded: a wrong file of 200 MB answers at once.
        if (!QuestionFile::hasSignature(QByteArrayView(bytes)))
            return {ReadStatus::Ok, {}};
        return {ReadStatus::Ok, PieceDecoder::decode(bytes)};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {ReadStatus::CannotRead, {}};
    ProtectedFile::Content content = ProtectedFile::read(file);
    if (content.status == ProtectedFile::Status::NotProtected)
        return {ReadStatus::NotProtected, {}};
    if (content.status == ProtectedFile::Status::Ok)
        document.setPasswords(content.password, content.password);
    return {ReadStatus::Ok, std::move(content.text)};
}

LoadResult loadText(QuestionDocument& document, const QString& text) {
    LoadResult result;
    if (!QuestionFile::hasSignature(text)) {
        result.isQuestionFile = false;
        return result;
    }
    qsizetype position = QuestionFile::readProperties(text, document.properties());

    QElapsedTimer clock;
    clock.start();
    QString record;
    int read = 0;
    while (QuestionFile::nextRecord(text, position, record)) {
        QString key;
        const QuestionFile::KeyState state = QuestionFile::recordKey(record, key);
        const bool keyless = state != QuestionFile::KeyState::Found || key.isEmpty();
        if (!keyless && document.contains(key))
            result.duplicateKeys.append(ListErrors::keyNotUnique());
        if (keyless || document.contains(key)) {
            key = repairedKey(document, record, read);
            record = QuestionFile::withNewKey(record, key);
        }
        const QString plain = Rtf::toPlainText(getTagText(record, "mondaibun"));
        document.appendLoadedRecord(key, plain, record);
        ++read;
        if (clock.elapsed() >= 100) {
            document.reportLoadProgress(read);
            clock.restart();
        }
    }
    document.endLoad();
    return result;
}

QString composeText(const QuestionDocument& document, const QString& appVersion) {
    return QuestionFile::compose(appVersion, document.properties(), document.records());
}

SaveResult save(QuestionDocument& document, SaveForm form, const QString& appVersion,
                const QString& password) {
    SaveResult result;
    const QString text = composeText(document, appVersion);
    const QString path = document.path();
    QByteArray bytes;
    switch (form) {
    case SaveForm::Plain:
        result.path = path;
        bytes = QuestionFile::plainFileBytes(text, &result.uncarried);
        break;
    case SaveForm::PlainCopy:
        result.path = path.left(path.size() - 4) + ".kmd";
        bytes = QuestionFile::plainFileBytes(text, &result.uncarried);
        break;
    case SaveForm::Protected:
        result.path = path;
        bytes = ProtectedFile::compose(password, text);
        break;
    }
    result.ok = writeFileAtomically(result.path, bytes, &result.error);
    if (!result.ok)
        result.uncarried.clear();
    else if (form == SaveForm::Protected)
        document.setPasswords(password, document.pendingPassword());
    return result;
}

} // namespace QuestionDocumentFile
