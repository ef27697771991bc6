#include "Screens/Manage/ManageLook.h"

#include "Controls/FlatButton.h"


namespace manageLook {

const QColor& screenBackground()
{
    return screenstyle::screenColor;
}

const QColor& panelBackground()
{
    return screenstyle::panelColor;
}

const QColor& headlineColor()
{
    return screenstyle::inkColor;
}

const QColor& bodyColor()
{
    return screenstyle::captionColor;
}

FlatButton* makeFlatButton(QWidget* parent, const QString& name)
{
    auto* button = new FlatButton(parent);
    button->setObjectName(name);
    button->setCornerRadius(4);
    button->setBackgroundNormalColor(screenstyle::actionBlueColor);
    button->setBackgroundHighlightColor(screenstyle::actionBlueColor);
    button->setNormalColor(screenstyle::actionBlueColor);
    button->setHoverColor(screenstyle::actionBlueHoverColor);
    button->setTitleNormalColor(Qt::white);
    button->setTitleHighlightColor(Qt::white);
    button->setMinimumSize(180, 34);
    button->setCursor(Qt::PointingHandCursor);
    QFont font = button->font();
    font.setPointSize(13);
    button->setFont(font);
    button->ensurePolished(); // set up for showing while enabled: full opacity from now on
    return button;
}

void setFlatButtonEnabled(FlatButton& button, bool enabled)
{
    button.setEnabled(enabled);
    button.setTitleNormalColor(enabled ? QColor(Qt::white) : screenstyle::systemGrayColor);
}

} // namespace manageLook
