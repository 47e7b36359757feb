#include "editor/frmRichStyle.h"

#include "platform/RichTextBox.h"
#include "platform/Texts.h"
#include "platform/Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLineEdit>
#include <QShortcut>

QStringList richStyleFontNames(const QStringList& systemFamilies) {
    QStringList names;
    for (const QString& family : systemFamilies) {
        if (!family.startsWith('@'))
            names << family;
    }
    return names;
}

frmRichStyle::frmRichStyle(QWidget* owner) : QWidget(owner, Qt::Tool) {
    setObjectName("frmRichStyle");
    setWindowTitle(u("文字"));
    // Names and sizes not in the lists can be shown (a file's font this
    // machine lacks); only a chosen item is applied.
    const auto combo = [this](const char* name) {
        auto* box = named(new QComboBox(this), name);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        return box;
    };
    cmbFont = combo("cmbFont");
    cmbSize = combo("cmbSize");
    chkBold = named(new QCheckBox(u("太字"), this), "chkBold");
    chkNaname = named(new QCheckBox(u("斜体"), this), "chkNaname");
    chkKasen = named(new QCheckBox(u("下線"), this), "chkKasen");
    cmbFont->setAccessibleName(u("ﾌｫﾝﾄ"));
    cmbSize->setAccessibleName(u("ｻｲｽﾞ"));
    for (QComboBox* box : {cmbFont, cmbSize})
        box->lineEdit()->setAccessibleName(box->accessibleName());
    // The key that brought this window up goes back to the editor.
    auto* back = new QShortcut(QKeySequence("Ctrl+T"), this);
    connect(back, &QShortcut::activated, this, [owner] {
        owner->raise();
        owner->activateWindow();
    });
    cmbFont->setMinimumWidth(170);
    cmbSize->setMaximumWidth(60);

    auto* grid = new QGridLayout(this);
    grid->addWidget(cmbFont, 0, 0, 1, 2);
    grid->addWidget(cmbSize, 0, 2);
    grid->addWidget(chkBold, 1, 0);
    grid->addWidget(chkNaname, 1, 1);
    grid->addWidget(chkKasen, 1, 2);

    // Only a person's clicks apply: showing a target's style sets the boxes
    // without a click.
    connect(chkBold, &QCheckBox::clicked, this, &frmRichStyle::chkBold_Click);
    connect(chkNaname, &QCheckBox::clicked, this, &frmRichStyle::chkNaname_Click);
    connect(chkKasen, &QCheckBox::clicked, this, &frmRichStyle::chkKasen_Click);
    connect(cmbFont, &QComboBox::activated, this, &frmRichStyle::cmbFont_Click);
    connect(cmbSize, &QComboBox::activated, this, &frmRichStyle::cmbSize_Click);
    Form_Load();
}

void frmRichStyle::Form_Load() {
    cmbFont->addItems(richStyleFontNames(QFontDatabase::families()));
    cmbFont->setCurrentText(u("ＭＳ ゴシック"));
    cmbSize->addItems({"8", "9", "10", "11", "12", "14", "16", "18", "20"});
    cmbSize->setCurrentIndex(-1);
}

void frmRichStyle::setRichText(RichTextBox* box) {
    targetBox = box;
    cmbFont->setCurrentText(box->selFontName());
    // A selection of several sizes has none to show.
    const double size = box->selFontSize();
    cmbSize->setCurrentText(size > 0 ? QString::number(size) : QString());
    chkBold->setChecked(box->selBold());
    chkNaname->setChecked(box->selItalic());
    chkKasen->setChecked(box->selUnderline());
}

void frmRichStyle::chkBold_Click() {
    if (targetBox)
        targetBox->setSelBold(chkBold->isChecked());
}

void frmRichStyle::chkNaname_Click() {
    if (targetBox)
        targetBox->setSelItalic(chkNaname->isChecked());
}

void frmRichStyle::chkKasen_Click() {
    if (targetBox)
        targetBox->setSelUnderline(chkKasen->isChecked());
}

void frmRichStyle::cmbFont_Click() {
    if (targetBox)
        targetBox->setSelFontName(cmbFont->currentText());
}

void frmRichStyle::cmbSize_Click() {
    if (targetBox)
        targetBox->setSelFontSize(cmbSize->currentText().toDouble());
}
