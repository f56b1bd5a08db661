// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/noteformatting.h"

#include "editor/toolbarcontrol.h"
#include "host/richtextbox.h"
#include "host/runtimeerror.h"

#include <QComboBox>
#include <QFileInfo>
#include <QPixmap>
#include <cmath>

namespace {
// A mixed selection becomes all bold (italic, underlined), as word processors do.
bool toggled(RichTextBox::Tri current) {
    return current != RichTextBox::Tri::True;
}

struct ColourTool {
    const char* id;
    const char* picture; // shown on the tool once chosen
    quint32 colour;      // 0x00BBGGRR
};
constexpr ColourTool kColours[] = {
    {"ID_Black", "/CIERNA.BMP", 0},
    {"ID_Red", "/CERVENA.BMP", 255},
    {"ID_Blue", "/MODRA.BMP", 16711680},
    {"ID_Green", "/ZELENA.BMP", 65280},
};

// Alignment codes of the editor: 0 left, 1 right, 2 centre.
struct AlignmentTool {
    const char* id;
    int alignment;
};
constexpr AlignmentTool kAlignments[] = {{"ID_Left", 0}, {"ID_Center", 2}, {"ID_Right", 1}};
} // namespace

NoteFormatting::NoteFormatting(RichTextBox* editor, ToolBarControl* toolbar, QString programFolder)
    : m_editor(editor), m_toolbar(toolbar), m_programFolder(std::move(programFolder)) {}

QHash<QString, std::function<void()>> NoteFormatting::toolActions() {
    RichTextBox* e = m_editor;
    QHash<QString, std::function<void()>> actions{
        {QStringLiteral("ID_Bold"), [e] { e->setSelBold(toggled(e->selBold())); }},
        {QStringLiteral("ID_Italic"), [e] { e->setSelItalic(toggled(e->selItalic())); }},
        {QStringLiteral("ID_Underline"), [e] { e->setSelUnderline(toggled(e->selUnderline())); }},
    };
    for (const AlignmentTool& a : kAlignments)
        actions.insert(QString::fromLatin1(a.id),
                       [e, alignment = a.alignment] { e->setSelAlignment(alignment); });
    for (const ColourTool& c : kColours) {
        const QString id = QString::fromLatin1(c.id);
        actions.insert(id, [this, id, c] { colour(id, QString::fromLatin1(c.picture), c.colour); });
    }
    return actions;
}

void NoteFormatting::colour(const QString& id, const QString& file, quint32 colour) {
    const QString path = m_programFolder + file;
    if (!QFileInfo::exists(path))
        throw RunTimeError::fileNotFound(path);
    const QPixmap picture(path);
    if (picture.isNull())
        throw RunTimeError(481, QStringLiteral("Neplatný obrázok: ") + path);
    m_toolbar->setToolPicture(id, picture);
    m_editor->setSelColor(colour);
}

void NoteFormatting::Lišta1_ComboClick(const QString& id) {
    if (id == QLatin1String("ID_Font")) {
        m_editor->setSelFontName(m_toolbar->combo(id)->currentText());
    } else if (id == QLatin1String("ID_Size")) {
        bool ok = false;
        const double points = m_toolbar->combo(id)->currentText().trimmed().toDouble(&ok);
        // A size that is not a number of points is not applied.
        if (ok && points > 0 && points <= 1638)
            m_editor->setSelFontSize(points);
    }
}

void NoteFormatting::showSelectionFormat() {
    if (const auto size = m_editor->selFontSize())
        m_toolbar->combo(QStringLiteral("ID_Size"))
            ->setEditText(QString::number(qRound64(std::nearbyint(*size))));
    if (const auto font = m_editor->selFontName())
        m_toolbar->combo(QStringLiteral("ID_Font"))->setEditText(*font);
    if (const auto alignment = m_editor->selAlignment()) {
        for (const AlignmentTool& a : kAlignments)
            if (a.alignment == *alignment)
                m_toolbar->setPressed(QString::fromLatin1(a.id), true);
    }
}
