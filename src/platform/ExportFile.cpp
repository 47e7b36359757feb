#include "platform/ExportFile.h"

#include "platform/Dialogs.h"
#include "platform/Texts.h"

#include <QFileInfo>

void exportFile(const QString& title, const QString& filter, const QString& documentPath,
                const std::function<bool(const QString& path, QString* error)>& write,
                const QString& done) {
    Dialogs::FileRequest request;
    request.title = title;
    request.filter = filter;
    request.filterIndex = 1;
    request.fileName = QFileInfo(documentPath).completeBaseName();
    request.options = Dialogs::OverwritePrompt | Dialogs::HideReadOnly | Dialogs::AddExtension;
    const QString path = Dialogs::saveFile(request);
    if (path.isEmpty())
        return;
    QString error;
    if (!write(path, &error)) {
        Dialogs::message(u("ﾌｧｲﾙに書き込めなかったため書き出しませんでした。") + "\r\n" + path +
                             "\r\n" + error,
                         u("書き出し中止"), Dialogs::Icon::Exclamation);
        return;
    }
    Dialogs::message(done, u("書き出し完了"), Dialogs::Icon::Information);
}
