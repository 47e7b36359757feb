#include "editor/frmImport.h"

#include "platform/Texts.h"
#include "platform/Widgets.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmImport::frmImport(const QString& path, const QString& formatName, bool hasHistory,
                     QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(u("問題の取り込み"));
    lblFile = named(new QLabel(u("%1 (%2)").arg(QFileInfo(path).fileName(), formatName), this),
                    "lblFile");
    chkSwap = named(new QCheckBox(u("問題と答えを入れ替える(&W)"), this), "chkSwap");
    chkSwap->setToolTip(u("2つ目の面を問題に、1つ目の面を答えにします"));
    chkHistory = named(new QCheckBox(u("履歴も取り込む"), this), "chkHistory");
    // Only a file that tells how its cards were answered offers it.
    chkHistory->setEnabled(hasHistory);
    chkHistory->setToolTip(hasHistory
                               ? u("回答の記録を、現在の回答者の成績と復習の予定に加えます")
                               : u("このﾌｧｲﾙには回答の記録がありません"));
    cmdOK = named(new QPushButton(u("取り込む"), this), "cmdOK");
    cmdCancel = named(new QPushButton(u("ｷｬﾝｾﾙ"), this), "cmdCancel");
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(lblFile);
    layout->addWidget(chkSwap);
    layout->addWidget(chkHistory);
    layout->addLayout(buttons);
}

bool frmImport::ask(QWidget* parent, const QString& path, const QString& formatName,
                    bool hasHistory, Choice& choice) {
    frmImport form(path, formatName, hasHistory, parent);
    if (form.exec() != QDialog::Accepted)
        return false;
    choice.swapSides = form.chkSwap->isChecked();
    choice.withHistory = hasHistory && form.chkHistory->isChecked();
    return true;
}
