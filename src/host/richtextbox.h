// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTextEdit>
#include <optional>

class QTextCharFormat;

// The note editor control: a QTextEdit whose whole content reads and writes as RTF.
class RichTextBox : public QTextEdit {
    Q_OBJECT
  public:
    enum class Tri { False, True, Mixed };

    explicit RichTextBox(QWidget* parent = nullptr);

    // The whole content as an RTF document (the control's default value).
    QString textRTF() const;
    // Replaces the whole content; text that is not RTF is shown as plain text. The caret goes to
    // the start and the undo history begins afresh.
    void setTextRTF(const QString& rtf);
    // Replaces the whole content with plain text.
    void setText(const QString& plain);
    QString text() const;

    // The selection's attributes; with no selection, those that typing would use.
    Tri selBold() const;
    Tri selItalic() const;
    Tri selUnderline() const;
    void setSelBold(bool on);
    void setSelItalic(bool on);
    void setSelUnderline(bool on);
    // 0 left, 1 right, 2 centre; nullopt when the selected paragraphs differ or are justified
    // (there is no code for justified). Other values given to setSelAlignment are ignored.
    std::optional<int> selAlignment() const;
    void setSelAlignment(int alignment);
    // 0x00BBGGRR
    void setSelColor(quint32 bgr);
    std::optional<QString> selFontName() const;
    // An empty name is ignored.
    void setSelFontName(const QString& family);
    std::optional<double> selFontSize() const;
    // Rounded to half points, as RTF stores sizes; sizes outside 1..1638 points are ignored.
    void setSelFontSize(double points);

  Q_SIGNALS:
    // Once for every change of the content: typed, set by the program, or formatting applied to a
    // selection or to the caret's paragraphs (formatting the caret alone changes no content).
    void contentChanged();
    // A link in the note was clicked with Ctrl held (a plain click places the caret, as in any
    // editor); `target` is the link's address.
    void linkActivated(const QString& target);

  protected:
    // Pasted and dropped rich text and pictures are reduced to what the note keeps (what RTF
    // carries here), so the editor never shows more than the stored note gives back.
    void insertFromMimeData(const QMimeData* source) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // Qt numbers every list from 1: the labels of lists that start elsewhere are drawn here.
    void paintEvent(QPaintEvent* event) override;

  private:
    void applyCharFormat(const QTextCharFormat& format);
    Tri tri(bool (*attribute)(const QTextCharFormat&)) const;
    template <typename F> void forEachSelectedFormat(F&& visit) const;

    QString pressedLink; // the link under a Ctrl+press, opened when the button comes up on it
    int quiet = 0;       // while above 0, the document's own change signals are not passed on
};
