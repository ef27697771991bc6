#include "Screens/Scan/ScreenWidgets.h"

#include "Controls/FlatButton.h"
#include "Platform/Bundle/Bundle.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>

#include <algorithm>

namespace screenstyle {

QLabel* makeLabel(QWidget* parent, const char* name, int pointSize, QFont::Weight weight, const QColor& colour,
                  bool wraps)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setPointSize(pointSize);
    font.setWeight(weight);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->setWordWrap(wraps);
    return label;
}

QPixmap bundleImage(const char* name, int size)
{
    const auto path = platform::Bundle::main().pathForResource(name, "png");
    const QPixmap image = path ? QPixmap(QString::fromStdString(*path)) : QPixmap();
    return image.isNull() || size <= 0 ? image : image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QFrame* makeCard(QWidget* parent, const char* name)
{
    auto* card = new QFrame(parent);
    card->setObjectName(name);
    card->setStyleSheet(QStringLiteral("QFrame#%1 { background: %2; border: 1px solid %3; border-radius: 8px; }")
                            .arg(name, cardColor.name(), cardBorderColor.name()));
    return card;
}

void colourActionButton(FlatButton& button, const QColor& fill)
{
    auto withAlpha = [&fill](double alpha) {
        QColor colour = fill;
        colour.setAlphaF(alpha);
        return colour;
    };
    button.setNormalColor(withAlpha(0.8));
    button.setHoverColor(withAlpha(0.9));
    button.setBackgroundNormalColor(withAlpha(0.8));
    button.setBackgroundHighlightColor(withAlpha(1.0));
    button.setTitleNormalColor(Qt::white);
    button.setTitleHighlightColor(Qt::white);
}

void setActionTitle(FlatButton& button, const QString& title)
{
    button.setText(title);
    constexpr int titlePadding = 24;
    button.setMinimumWidth(std::max(120, button.fontMetrics().horizontalAdvance(title) + 2 * titlePadding));
}

FlatButton* makeActionButton(QWidget* parent, const char* name, const QColor& fill)
{
    auto* button = new FlatButton(parent);
    button->setObjectName(name);
    button->setMomentary(true);
    button->setCornerRadius(4);
    button->setCursor(Qt::PointingHandCursor);
    QFont font = button->font();
    font.setPointSize(13);
    font.setWeight(QFont::DemiBold);
    button->setFont(font);
    button->setMinimumHeight(38);
    colourActionButton(*button, fill);
    return button;
}

} // namespace screenstyle
