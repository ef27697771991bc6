#include "Screens/Common/PlainToolTip.h"

#include <QTextDocument>

QString plainToolTip(const QString& text)
{
    return Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap);
}
