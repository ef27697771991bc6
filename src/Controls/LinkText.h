#pragma once

#include <QString>

class QTextDocument;

// Makes the first occurrence of `textToFind` (literal, case-sensitive) a link to
// `linkURL`; false, changing nothing, when the text does not occur.
bool setAsLink(QTextDocument& text, const QString& textToFind, const QString& linkURL);
