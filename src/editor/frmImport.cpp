#include "editor/frmImport.h"

#include "platform/Texts.h"
#include "platform/Widgets.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmImport::frmImport(const QString& path, const QString& formatName, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(u("問題の取り込み"));
    lblFile = named(new QLabel(u("%1 (%2)").arg(QFileInfo(path).fileName(), formatName), this),
                    "lblFile");
    chkSwap = named(new QCheckBox(u("問題と答えを入れ替える(&W)"), this), "chkSwap");
    chkSwap->setToolTip(u("2つ目の面を問題に、1つ目の面を答えにします"));
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
    layout->addLayout(buttons);
}

bool frmImport::ask(QWidget* parent, const QString& path, const QString& formatName,
                    bool& swapSides) {
    frmImport form(path, formatName, parent);
    if (form.exec() != QDialog::Accepted)
        return false;
    swapSides = form.chkSwap->isChecked();
    return true;
}
