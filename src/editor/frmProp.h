#pragma once

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QuestionDocument;
class frmSakusei;

// The document properties of the open question file. Editable only when
// opened from the visible editor for a file that is not locked.
class frmProp : public QDialog {
    Q_OBJECT
  public:
    // `editor` is the editor window when it exists, else null.
    frmProp(QuestionDocument& document, frmSakusei* editor, QWidget* parent = nullptr);

    void Form_Load();
    void cmdOK_Click();

    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QLineEdit* Text5 = nullptr;
    QLineEdit* Text6 = nullptr;
    QPlainTextEdit* Text7 = nullptr;
    QLineEdit* Text8 = nullptr;
    QLineEdit* Text9 = nullptr;
    QPushButton* cmdOK = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool editorVisible() const;
    QuestionDocument& document_;
    frmSakusei* editor_;
};
