#include "editor/frmProp.h"

#include "data/QuestionDocument.h"
#include "editor/frmSakusei.h"
#include "platform/ProgramFolder.h"
#include "platform/Texts.h"
#include "platform/Widgets.h"

#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// A row of a form: the label beside its box, naming it for screen readers too.
void addRow(QFormLayout* form, const char* text, const char* name, QWidget* box) {
    auto* caption = named(new QLabel(u(text)), name);
    caption->setBuddy(box);
    form->addRow(caption, box);
}

QLineEdit* textBox(const char* name) {
    return named(new QLineEdit, name);
}

// The dates are never edited.
void showAsFixed(QLineEdit* box) {
    box->setReadOnly(true);
    showAsLocked(box, true);
}
} // namespace

frmProp::frmProp(QuestionDocument& document, frmSakusei* editor, QWidget* parent)
    : QDialog(parent), document_(document), editor_(editor) {
    setObjectName("frmProp");
    Text1 = textBox("Text1");
    Text2 = textBox("Text2");
    Text3 = textBox("Text3");
    Text4 = textBox("Text4");
    Text5 = textBox("Text5");
    Text6 = textBox("Text6");
    Text7 = new QPlainTextEdit;
    Text7->setObjectName("Text7");
    Text7->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text7->setTabChangesFocus(true);
    Text7->setFixedHeight(90);
    Text7->installEventFilter(this);
    Text8 = textBox("Text8");
    Text9 = textBox("Text9");
    showAsFixed(Text8);
    showAsFixed(Text9);
    cmdOK = new QPushButton(u("O K"));
    cmdOK->setObjectName("cmdOK");
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmProp::cmdOK_Click);

    auto* top = new QFormLayout;
    addRow(top, "作品タイトル", "Label3", Text1);
    addRow(top, "サブジェクト", "Label4", Text2);
    addRow(top, "バージョン", "Label5", Text3);
    auto* author = new QGroupBox(u("作者について"));
    author->setObjectName("Frame1");
    auto* authorRows = new QFormLayout(author);
    addRow(authorRows, "名前", "Label6", Text4);
    addRow(authorRows, "Mail", "Label7", Text5);
    addRow(authorRows, "ﾎｰﾑﾍﾟｰｼﾞ", "Label8", Text6);
    auto* bottom = new QFormLayout;
    addRow(bottom, "コメント", "Label9", Text7);
    addRow(bottom, "作成開始", "Label1", Text8);
    addRow(bottom, "最終更新", "Label2", Text9);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addWidget(author);
    all->addLayout(bottom);
    all->addLayout(buttons);
    resize(440, sizeHint().height());
    Form_Load();
}

bool frmProp::editorVisible() const {
    return editor_ && editor_->isVisible();
}

void frmProp::Form_Load() {
    const DocumentProperties& p = document_.properties();
    if (!editorVisible() || document_.isLocked()) {
        for (QLineEdit* box : {Text1, Text2, Text3, Text4, Text5, Text6, Text8, Text9})
            box->setReadOnly(true);
        Text7->setReadOnly(true);
    }
    const QString name = document_.path().isEmpty() ? u("(新規作成)")
                                                    : ProgramFolder::fileNamePart(document_.path());
    setWindowTitle(name + u(" のﾌﾟﾛﾊﾟﾃｨ"));
    Text1->setText(p.title);
    Text2->setText(p.subject);
    Text3->setText(p.version);
    Text4->setText(p.namae);
    Text5->setText(p.mail);
    Text6->setText(p.url);
    // The comment keeps its CR LF line ends as the file has them.
    Text7->setPlainText(QString(p.comment).replace("\r\n", "\n"));
    Text8->setText(p.cdate);
    Text9->setText(p.mdate);
}

void frmProp::cmdOK_Click() {
    if (document_.isLocked()) {
        close();
        return;
    }
    DocumentProperties p;
    p.title = Text1->text();
    p.subject = Text2->text();
    p.version = Text3->text();
    p.namae = Text4->text();
    p.mail = Text5->text();
    p.url = Text6->text();
    p.comment = Text7->toPlainText().replace("\n", "\r\n");
    p.cdate = Text8->text();
    p.mdate = Text9->text();
    // From run mode the boxes are read-only: their unchanged values go back
    // without counting as an edit.
    if (editorVisible())
        document_.setProperties(p);
    else
        document_.properties() = p;
    accept();
}

bool frmProp::eventFilter(QObject* watched, QEvent* event) {
    // While the comment has the focus, Enter makes a new line in it.
    if (watched == Text7) {
        if (event->type() == QEvent::FocusIn)
            cmdOK->setDefault(false);
        else if (event->type() == QEvent::FocusOut)
            cmdOK->setDefault(true);
    }
    return QDialog::eventFilter(watched, event);
}
