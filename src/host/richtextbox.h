#pragma once

#include <QTextEdit>
#include <optional>

// The note editor control: a QTextEdit whose whole content reads and writes as RTF.
class RichTextBox : public QTextEdit {
    Q_OBJECT
public:
    enum class Tri { False, True, Mixed };

    explicit RichTextBox(QWidget* parent = nullptr);

    // The whole content as an RTF document (the control's default value).
    QString textRTF() const;
    // Replaces the whole content; text that is not RTF is shown as plain text.
    void setTextRTF(const QString& rtf);
    // Replaces the whole content with plain text.
    void setText(const QString& plain);
    QString text() const;

    Tri selBold() const;
    Tri selItalic() const;
    Tri selUnderline() const;
    void setSelBold(bool on);
    void setSelItalic(bool on);
    void setSelUnderline(bool on);
    // 0 left, 1 right, 2 centre; nullopt when the selected paragraphs differ.
    std::optional<int> selAlignment() const;
    void setSelAlignment(int alignment);
    // 0x00BBGGRR
    void setSelColor(quint32 bgr);
    std::optional<QString> selFontName() const;
    void setSelFontName(const QString& family);
    std::optional<double> selFontSize() const;
    void setSelFontSize(double points);

Q_SIGNALS:
    // Once for every change of the content: typed, set by the program, or formatting applied.
    void contentChanged();
};
