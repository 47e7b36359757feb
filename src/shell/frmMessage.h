#pragma once

#include <QDialog>

class QPushButton;
class QTimer;
class RichTextBox;

// Shows a question's hint or explanation, modally. "閉じる" has the focus
// as soon as the window is up, so Enter closes it.
class frmMessage : public QDialog {
    Q_OBJECT
  public:
    explicit frmMessage(QWidget* parent = nullptr);

    // Shows the rich text, `what` it is ("ヒント" or "解説"), and returns
    // when the learner has closed the window.
    static void showText(QWidget* parent, const QString& rtf, const QString& what);

    void Form_Resize();
    void Timer1_Timer();
    void Command1_Click();

    RichTextBox* RichTextBox1 = nullptr;
    QPushButton* Command1 = nullptr;
    QTimer* Timer1 = nullptr;

  protected:
    void resizeEvent(QResizeEvent* event) override;
};
