#include "Screens/Scan/ScreenWidgets.h"

#include "Controls/FlatButton.h"

#include <QFrame>
#include <QLabel>

namespace scanlook {

namespace {

constexpr int buttonWidth = 170;
constexpr int buttonHeight = 42;

} // namespace

QLabel* makeLabel(QWidget* parent, const char* name, int pointSize, QFont::Weight weight, const QColor& colour,
                  bool wraps)
{
    QLabel* label = screenstyle::makeLabel(parent, name, pointSize, colour);
    QFont font = label->font();
    font.setWeight(weight);
    label->setFont(font);
    label->setWordWrap(wraps);
    return label;
}

QFrame* makeCard(QWidget* parent, const char* name)
{
    auto* card = new QFrame(parent);
    card->setObjectName(name);
    card->setStyleSheet(
        QStringLiteral("QFrame#%1 { background: white; border: 1px solid %2; border-radius: 5px; }").arg(name, cardBorderColor.name()));
    return card;
}

FlatButton* makeFilledButton(QWidget* parent, const char* name)
{
    auto* button = new FlatButton(parent);
    screenstyle::styleFilledButton(*button, name, buttonWidth, buttonHeight);
    return button;
}

FlatButton* makeOutlinedButton(QWidget* parent, const char* name)
{
    auto* button = new FlatButton(parent);
    screenstyle::styleOutlinedButton(*button, name, buttonWidth, buttonHeight);
    return button;
}

} // namespace scanlook
