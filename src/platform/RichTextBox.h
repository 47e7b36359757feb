#pragma once

#include <QColor>
#include <QTextEdit>

// The rich text box: formatted text whose RTF is what question files store.
// Plain text has its lines separated by CR LF; positions count characters
// of that plain text.
class RichTextBox : public QTextEdit {
    Q_OBJECT
  public:
    explicit RichTextBox(QWidget* parent = nullptr);

    // Plain text as shown, lines separated by CR LF.
    QString text() const;
    // Replaces the content; the character format at the caret is kept, so
    // text typed afterwards takes it on.
    void setText(const QString& text);

    // The content as RTF, as question files store it (see platform/rtf).
    // Setting it puts the caret at the start in the first character's format.
    QString textRTF() const;
    void setTextRTF(const QString& rtf);
    // The selection as RTF: equal for two selections exactly when their text
    // and character styles are.
    QString selRTF() const;

    int selStart() const;
    void setSelStart(int start);
    int selLength() const;
    void setSelLength(int length);
    void selectAllText() {
        setSelStart(0);
        setSelLength(text().size());
    }

    // Inserts text at the caret in the given format; the rest stays as it was.
    void insertText(const QString& text, bool bold, const QColor& color);

    // The selection's character style. A selection only partly bold
    // (italic, underlined) reads as not bold; setting applies to all of it.
    QString selFontName() const;
    void setSelFontName(const QString& family);
    double selFontSize() const;
    void setSelFontSize(double points);
    bool selBold() const;
    void setSelBold(bool on);
    bool selItalic() const;
    void setSelItalic(bool on);
    bool selUnderline() const;
    void setSelUnderline(bool on);
    QColor selColor() const;
    void setSelColor(const QColor& color);

    void setBackColor(const QColor& color);
    QColor backColor() const;
    void setLocked(bool locked) { setReadOnly(locked); }
    bool isLocked() const { return isReadOnly(); }

  signals:
    void clicked();
    void gotFocus();
    void changed();
    // A handler swallows the key by setting keyAscii to 0.
    void keyPress(int& keyAscii);
    void keyUp(int key, int shift);

  protected:
    // Copying offers the selection as plain text, HTML and RTF; pasting takes
    // RTF where offered, else HTML, with the character styles a box holds,
    // and plain text in the format at the caret.
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

  private:
    // Runs `apply` on the format of every run in the selection (or the
    // caret's format when nothing is selected).
    void mergeSelectionFormat(const QTextCharFormat& format);
    // True when `test` holds for every character of the selection.
    template <typename Test> bool wholeSelection(Test test) const;
    // Converts between positions of the CR LF plain text and the document.
    int toDocumentPosition(int textPosition) const;
    int toTextPosition(int documentPosition) const;
};

// Plain text of a document as the box shows it: CR LF between lines.
QString plainTextWithCrLf(const QString& documentText);
