// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/rtflist.h"

#include <QColor>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextCursor>
#include <QTextList>
#include <QTextTable>

#include <map>

// What a note's document holds, one line a paragraph and one a run, so two documents compare
// line by line: text, character and paragraph formats, lists, links and pictures.
inline QString formatLine(const QTextFormat& f) {
    QStringList parts;
    const QMap<int, QVariant> props = f.properties();
    for (auto it = props.begin(); it != props.end(); ++it) {
        QString value;
        const QVariant& v = it.value();
        if (v.metaType() == QMetaType::fromType<QBrush>())
            value = v.value<QBrush>().style() == Qt::NoBrush
                        ? QStringLiteral("none")
                        : v.value<QBrush>().color().name(QColor::HexArgb);
        else if (v.metaType() == QMetaType::fromType<QColor>())
            value = v.value<QColor>().name(QColor::HexArgb);
        else if (v.canConvert<QStringList>() && v.metaType() != QMetaType::fromType<QString>())
            value = v.toStringList().join(u',');
        else if (v.metaType() == QMetaType::fromType<QByteArray>())
            value = QStringLiteral("%1 bytes %2").arg(v.toByteArray().size()).arg(qHash(v.toByteArray()));
        else if (v.metaType() == QMetaType::fromType<double>())
            value = QString::number(v.toDouble(), 'f', 2);
        else
            value = v.toString();
        parts << QString::number(it.key(), 16) + u'=' + value;
    }
    return parts.join(u' ');
}

// The tables a block is in.
inline int tableDepth(const QTextBlock& block) {
    int depth = 0;
    for (const QTextFrame* frame = QTextCursor(block).currentFrame(); frame; frame = frame->parentFrame())
        depth += qobject_cast<const QTextTable*>(frame) ? 1 : 0;
    return depth;
}

inline QStringList documentModel(const QTextDocument& doc) {
    QStringList lines;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        // Which list a paragraph is in shows in its label, not in the number Qt gave the list.
        QTextBlockFormat format = block.blockFormat();
        format.clearProperty(QTextFormat::ObjectIndex);
        QString line = QStringLiteral("P ") + formatLine(format);
        if (const QTextTable* table = QTextCursor(block).currentTable()) {
            const QTextTableCell cell = table->cellAt(block.position());
            if (cell.firstCursorPosition().block() == block)
                line += QStringLiteral(" cell=%1,%2 span=%3x%4 depth=%5")
                            .arg(cell.row())
                            .arg(cell.column())
                            .arg(cell.rowSpan())
                            .arg(cell.columnSpan())
                            .arg(tableDepth(block));
        }
        if (const QTextList* list = block.textList())
            line += QStringLiteral(" list=%1 %2 (%3)")
                        .arg(rtf::listStyle(list->format()))
                        .arg(rtf::listLabel(*list, block), formatLine(list->format()));
        lines << line;
        for (auto it = block.begin(); !it.atEnd(); ++it)
            lines << QStringLiteral("  \"%1\" %2")
                         .arg(it.fragment().text(), formatLine(it.fragment().charFormat()));
    }
    return lines;
}

// A table's cells in order, each as its place, its span when it has one, and its text:
// "0,0 1x2 a|b" for a cell of two columns holding the paragraphs a and b; a cell of a table in a
// cell has a ">" for each table around it. Tables are separated by " / ".
inline QString tableShape(const QTextDocument& doc) {
    QStringList tables;
    QStringList cells;
    std::map<int, qsizetype> lastCell; // by depth: the cell being filled
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const int depth = tableDepth(block);
        if (depth == 0) {
            if (!cells.isEmpty())
                tables << cells.join(u"; "), cells.clear();
            continue;
        }
        const QTextTable* table = QTextCursor(block).currentTable();
        const QTextTableCell cell = table->cellAt(block.position());
        if (cell.firstCursorPosition().block() != block) {
            cells[lastCell[depth]] += u'|' + block.text();
            continue;
        }
        QString place = QString(depth - 1, u'>') + QStringLiteral("%1,%2").arg(cell.row()).arg(cell.column());
        if (cell.rowSpan() > 1 || cell.columnSpan() > 1)
            place += QStringLiteral(" %1x%2").arg(cell.rowSpan()).arg(cell.columnSpan());
        lastCell[depth] = cells.size();
        cells << place + u' ' + block.text();
    }
    if (!cells.isEmpty())
        tables << cells.join(u"; ");
    return tables.join(u" / ");
}

// Qt keeps a paragraph before a table that starts the document and after one that ends it; RTF
// has no such paragraphs.
inline bool isTableGuard(const QTextBlock& block) {
    const auto inTable = [](const QTextBlock& b) { return b.isValid() && QTextCursor(b).currentTable(); };
    return block.length() == 1 && !inTable(block) &&
           ((!block.previous().isValid() && inTable(block.next())) ||
            (!block.next().isValid() && inTable(block.previous())));
}

// The document's text with its list labels, as a reader without lists shows it: table cells
// separated by tabs, rows by line ends.
inline QString labelledText(const QTextDocument& doc) {
    QString text;
    bool first = true;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (isTableGuard(block))
            continue;
        QString label;
        if (const QTextList* list = block.textList()) {
            label = rtf::isBulletStyle(rtf::listStyle(list->format())) ? QStringLiteral("\u2022")
                                                                       : rtf::listLabel(*list, block);
            label += u'\t';
        }
        bool nextCell = false;
        if (const QTextTable* table = QTextCursor(block).currentTable()) {
            const QTextTableCell cell = table->cellAt(block.position());
            nextCell = cell.column() > 0 && cell.firstCursorPosition().block() == block;
        }
        if (!first)
            text += nextCell ? u'\t' : u'\n';
        first = false;
        text += label + block.text();
    }
    text.replace(QChar::LineSeparator, u'\n')
        .replace(QChar::Nbsp, u' ')
        .remove(QChar::ObjectReplacementCharacter);
    return text;
}

// Text compared without the line ends at its end, which a table at the end leaves open.
inline QString withoutFinalBreaks(QString text) {
    while (text.endsWith(u'\n'))
        text.chop(1);
    return text;
}
