#include "Controls/LinkText.h"

#include <QTextCursor>
#include <QTextDocument>

bool setAsLink(QTextDocument& text, const QString& textToFind, const QString& linkURL)
{
    if (textToFind.isEmpty())
        return false;
    const int start = text.toPlainText().indexOf(textToFind, 0, Qt::CaseSensitive);
    if (start < 0)
        return false;
    QTextCursor cursor(&text);
    cursor.setPosition(start);
    cursor.setPosition(start + static_cast<int>(textToFind.size()), QTextCursor::KeepAnchor);
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref(linkURL);
    cursor.mergeCharFormat(link);
    return true;
}
