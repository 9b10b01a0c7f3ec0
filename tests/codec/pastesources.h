#pragma once
// RTF sources for the paste tests, and how a document's paragraphs and list items read.
#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

namespace pastesources {

// One bulleted list (\ls1) whose second level is numbered.
inline const QByteArray kBullets = "{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}}"
                                   "{\\listlevel\\levelnfc0{\\leveltext\\'02\\'01.;}}\\listid1}}"
                                   "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}";

inline QByteArray rtf(const QByteArray &body, const QByteArray &tables = QByteArray())
{
    return "{\\rtf1\\ansi " + tables + body + "}";
}

// The paragraphs with the list each belongs to (numbered in order of appearance) and
// its place in that list, e.g. "a", "b [1:0]", "c [1:1]".
inline QStringList paragraphsAndItems(const QTextDocument *document)
{
    QList<const QTextList *> lists;
    QStringList result;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        QString line = block.text();
        if (const QTextList *list = block.textList()) {
            if (!lists.contains(list))
                lists.append(list);
            line += QStringLiteral(" [%1:%2]").arg(lists.indexOf(list) + 1).arg(list->itemNumber(block));
        }
        result.append(line);
    }
    return result;
}

}  // namespace pastesources
