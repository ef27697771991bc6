#include "Screens/Common/PlainToolTip.h"

QString plainToolTip(const QString& text)
{
    return "<p style='white-space:pre'>" + text.toHtmlEscaped() + "</p>";
}
