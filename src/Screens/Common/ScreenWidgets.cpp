#include "Screens/Common/ScreenWidgets.h"

#include "Controls/FlatButton.h"
#include "Controls/HyperlinkTextField.h"

#include <QFrame>

namespace screenstyle {

namespace {

constexpr int buttonWidth = 170;
constexpr int buttonHeight = 42;
const QColor linkColor{161, 161, 161};

} // namespace

QFrame* makeCard(QWidget* parent, const char* name)
{
    auto* card = new QFrame(parent);
    card->setObjectName(name);
    card->setStyleSheet(
        QStringLiteral("QFrame#%1 { background: %2; border: 1px solid %3; border-radius: 5px; }")
            .arg(name, screenstyle::panelColor.name(), screenstyle::ruleColor.name()));
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

HyperlinkTextField* makeLink(QWidget* parent, const char* name, int pixelSize)
{
    auto* link = new HyperlinkTextField(parent);
    link->setObjectName(name);
    link->setAlignment(Qt::AlignCenter);
    QFont font = link->font();
    font.setPixelSize(pixelSize);
    font.setUnderline(true);
    link->setFont(font);
    QPalette palette = link->palette();
    palette.setColor(QPalette::WindowText, linkColor);
    palette.setColor(QPalette::Text, linkColor); // inside an item view
    link->setPalette(palette);
    return link;
}

} // namespace screenstyle
