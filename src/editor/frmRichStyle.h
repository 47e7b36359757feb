#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class RichTextBox;

// The font names offered: the system's, in its order, without the
// vertical-writing variants whose names begin with "@".
QStringList richStyleFontNames(const QStringList& systemFamilies);

// "文字": a small tool window beside the editor that sets font, size, bold,
// italic and underline of the selection in the editor's rich text box that
// last reported to it. Every choice applies at once; there is no OK.
class frmRichStyle : public QWidget {
    Q_OBJECT
  public:
    explicit frmRichStyle(QWidget* owner);

    // Makes `box` the target and shows its selection's style. Showing never
    // writes a style back: a partly bold selection stays as it is.
    void setRichText(RichTextBox* box);

    // A person's choices, applied to the target's selection; nothing happens
    // before a box has reported.
    void chkBold_Click();
    void chkNaname_Click();
    void chkKasen_Click();
    void cmbFont_Click();
    void cmbSize_Click();

    // Controls, by their program names.
    QComboBox* cmbFont = nullptr;
    QComboBox* cmbSize = nullptr;
    QCheckBox* chkBold = nullptr;
    QCheckBox* chkNaname = nullptr;
    QCheckBox* chkKasen = nullptr;

  private:
    void Form_Load();

    QPointer<RichTextBox> targetBox;
};
