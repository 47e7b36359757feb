#include "platform/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QQueue>

namespace Dialogs {

namespace {
struct Queues {
    QQueue<Answer> answers;
    QQueue<QString> inputs;
    QQueue<QPair<QString, int>> fileNames;
    QList<Message> shown;
    QList<FileRequest> requests;
    bool answerByDefault = false;
};
Queues& queues() {
    static Queues q;
    return q;
}

QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// A box belongs to the window the user works in, and is centred on it: the
// active modal dialog or window, else the program's visible main window
// (no window is active yet right after a file dialog closes).
QWidget* parentWindow() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && top->inherits("QMainWindow"))
            return top;
    return nullptr;
}

// The chosen path and the filter chosen with it (1-based).
QPair<QString, int> showFileDialog(const FileRequest& request) {
    queues().requests.append(request);
    if (!queues().fileNames.isEmpty()) {
        QPair<QString, int> queued = queues().fileNames.dequeue();
        if (queued.second == 0)
            queued.second = request.filterIndex;
        return queued;
    }
    if (queues().answerByDefault)
        return {};

    QFileDialog dialog(parentWindow(), request.title);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save || !(request.options & FileMustExist)
                           ? QFileDialog::AnyFile
                           : QFileDialog::ExistingFile);
    if (request.save && !(request.options & OverwritePrompt))
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (request.options & HideReadOnly)
        dialog.setOption(QFileDialog::ReadOnly, false);
    const QStringList filters = qtFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(request.filterIndex - 1));

    // The dialog adds the extension itself, so that it asks before
    // overwriting the file of the name it really writes.
    if (request.options & AddExtension) {
        const auto useFilter = [&dialog, &request, filters](const QString& chosen) {
            dialog.setDefaultSuffix(
                filterExtension(request.filter, int(filters.indexOf(chosen)) + 1));
        };
        useFilter(dialog.selectedNameFilter());
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, useFilter);
    }

    // The initial name may be a folder, a folder with patterns, or a file.
    QFileInfo initial(request.fileName);
    if (!request.fileName.isEmpty()) {
        if (initial.isDir()) {
            dialog.setDirectory(initial.absoluteFilePath());
        } else {
            if (initial.dir().exists())
                dialog.setDirectory(initial.absolutePath());
            if (!initial.fileName().contains('*'))
                dialog.selectFile(initial.fileName());
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const int chosenFilter = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    QString chosen = dialog.selectedFiles().constFirst();
    if ((request.options & CreatePrompt) && !QFileInfo::exists(chosen)) {
        const auto answer = QMessageBox::question(
            parentWindow(), request.title,
            QStringLiteral("%1 は存在しません。作成しますか?").arg(QFileInfo(chosen).fileName()));
        if (answer != QMessageBox::Yes)
            return {};
    }
    return {chosen, chosenFilter};
}
} // namespace

QStringList qtFilters(const QString& filter) {
    QStringList result;
    const QStringList parts = filter.split('|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(';', Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == "*.*")
                p = "*";
        }
        result << QStringLiteral("%1 (%2)").arg(parts.at(i), patterns.join(' '));
    }
    return result;
}

Answer message(const QString& text, const QString& title, Icon icon, Buttons buttons,
               Answer defaultButton) {
    queues().shown.append({text, title, icon, buttons});
    if (!queues().answers.isEmpty())
        return queues().answers.dequeue();
    if (queues().answerByDefault)
        return buttons == Buttons::YesNo ? (defaultButton == Answer::Yes ? Answer::Yes : Answer::No)
                                         : Answer::Ok;

    QMessageBox box(qtIcon(icon), title, text, QMessageBox::NoButton, parentWindow());
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(defaultButton == Answer::No ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int result = box.exec();
    if (buttons == Buttons::YesNo)
        return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
    return Answer::Ok;
}

QString inputBox(const QString& prompt, const QString& title, const QString& defaultAnswer) {
    queues().shown.append({prompt, title, Icon::None, Buttons::Ok});
    if (!queues().inputs.isEmpty())
        return queues().inputs.dequeue();
    bool ok = false;
    const QString text =
        QInputDialog::getText(parentWindow(), title, prompt, QLineEdit::Normal, defaultAnswer, &ok);
    return ok ? text : QString();
}

QString filterExtension(const QString& filter, int filterIndex) {
    const QString pattern =
        filter.split('|').value(2 * filterIndex - 1).split(';').value(0).trimmed();
    if (!pattern.startsWith(QLatin1String("*.")) || pattern == QLatin1String("*.*"))
        return {};
    return pattern.mid(2);
}

QString withFilterExtension(const QString& path, const QString& filter, int filterIndex) {
    const QString extension = filterExtension(filter, filterIndex);
    if (extension.isEmpty() || path.isEmpty() || QFileInfo(path).fileName().contains('.'))
        return path;
    return path + '.' + extension;
}

QString openFile(const FileRequest& request) {
    FileRequest r = request;
    r.save = false;
    return showFileDialog(r).first;
}

QString saveFile(const FileRequest& request) {
    FileRequest r = request;
    r.save = true;
    const auto [path, filterIndex] = showFileDialog(r);
    // A queued name is what the user typed: it gets the extension too.
    return (r.options & AddExtension) ? withFilterExtension(path, r.filter, filterIndex) : path;
}

void setNextAnswer(Answer answer) {
    queues().answers.enqueue(answer);
}
void setNextInput(const QString& text) {
    queues().inputs.enqueue(text);
}
void setNextFileName(const QString& path, int filterIndex) {
    queues().fileNames.enqueue({path, filterIndex});
}
const QList<Message>& shownMessages() {
    return queues().shown;
}
const QList<FileRequest>& fileRequests() {
    return queues().requests;
}
void clearRecords() {
    const bool answerByDefault = queues().answerByDefault;
    queues() = Queues{};
    queues().answerByDefault = answerByDefault;
}
void setAnswerUnqueuedByDefault(bool on) {
    queues().answerByDefault = on;
}

} // namespace Dialogs
