#include "Screens/Common/ScreenStyle.h"

#include "Controls/FlatButton.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPalette>
#include <QProgressBar>
#include <QToolTip>

#include <cmath>

namespace screenstyle {

void fillBackground(QWidget& view, const QColor& colour)
{
    view.setAutoFillBackground(true);
    QPalette palette = view.palette();
    palette.setColor(QPalette::Window, colour);
    view.setPalette(palette);
}

QPalette screenPalette()
{
    QPalette palette;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool disabled = group == QPalette::Disabled;
        const QColor text = disabled ? systemGrayColor.darker(140) : inkColor;
        palette.setColor(group, QPalette::Window, panelColor);
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::Base, panelColor);
        palette.setColor(group, QPalette::AlternateBase, screenColor);
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::PlaceholderText, captionColor);
        palette.setColor(group, QPalette::Button, screenColor);
        palette.setColor(group, QPalette::ButtonText, text);
        palette.setColor(group, QPalette::BrightText, inkColor);
        palette.setColor(group, QPalette::Light, ruleColor.lighter(130));
        palette.setColor(group, QPalette::Midlight, ruleColor);
        palette.setColor(group, QPalette::Mid, ruleColor);
        palette.setColor(group, QPalette::Dark, panelColor.darker(150));
        palette.setColor(group, QPalette::Shadow, Qt::black);
        palette.setColor(group, QPalette::Highlight, disabled ? ruleColor : accentColor);
        palette.setColor(group, QPalette::HighlightedText, inkColor);
        palette.setColor(group, QPalette::ToolTipBase, panelColor);
        palette.setColor(group, QPalette::ToolTipText, inkColor);
        palette.setColor(group, QPalette::Link, actionBlueHoverColor);
        palette.setColor(group, QPalette::LinkVisited, actionBlueColor);
    }
    return palette;
}

void useScreenLookForPopups()
{
    const QPalette palette = screenPalette();
    QApplication::setPalette(palette, "QMenu"); // a combo box's list takes a menu's palette in some styles
    QToolTip::setPalette(palette);
}

void styleComboBox(QComboBox& box)
{
    const QPalette palette = screenPalette();
    box.setPalette(palette);
    box.view()->setPalette(palette);
}

QString progressBarStyle()
{
    return QStringLiteral("QProgressBar { border: none; border-radius: 6px; background: %1; }"
                          " QProgressBar::chunk { border-radius: 6px; background: %2; }")
        .arg(ruleColor.name(), accentColor.name());
}

namespace {

constexpr int barStepsPerPercent = 10;

} // namespace

QProgressBar* makeProgressBar(QWidget* parent, const char* name)
{
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(name);
    bar->setRange(0, 100 * barStepsPerPercent);
    bar->setTextVisible(false);
    bar->setFixedSize(560, 12);
    bar->setStyleSheet(progressBarStyle());
    return bar;
}

void setPercentage(QProgressBar& bar, double percentage)
{
    bar.setValue(static_cast<int>(std::lround(percentage * barStepsPerPercent)));
}

void styleLabel(QLabel& label, const QString& name, int pointSize, const QColor& colour, QFont::Weight weight)
{
    label.setObjectName(name);
    label.setTextFormat(Qt::PlainText); // names from definitions, plists and file names are never markup
    QFont font = label.font();
    font.setPointSize(pointSize);
    font.setWeight(weight);
    label.setFont(font);
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour); // the role a label paints with inside an item view
    label.setPalette(palette);
}

QLabel* makeLabel(QWidget* parent, const QString& name, int pointSize, const QColor& colour, QFont::Weight weight,
                  LabelWrap wrap)
{
    auto* label = new QLabel(parent);
    styleLabel(*label, name, pointSize, colour, weight);
    label->setWordWrap(wrap == LabelWrap::words);
    return label;
}

namespace {

void styleButton(FlatButton& button, const char* name, int width, int height, const QColor& fill, const QColor& pressed,
                 const QColor& title, const QColor& border)
{
    button.setObjectName(name);
    button.setFixedSize(width, height);
    button.setCornerRadius(height / 2.0);
    button.setBorderWidth(border.alpha() ? 1.5 : 0.0);
    button.setBorderNormalColor(border);
    button.setBorderHighlightColor(border);
    button.setBackgroundNormalColor(fill);
    button.setBackgroundHighlightColor(pressed);
    button.setNormalColor(fill);
    button.setHoverColor(pressed);
    button.setTitleNormalColor(title);
    button.setTitleHighlightColor(title);
    button.setCursor(Qt::PointingHandCursor);
    QFont font = button.font();
    font.setPointSize(13);
    font.setBold(true);
    button.setFont(font);
}

} // namespace

void styleFilledButton(FlatButton& button, const char* name, int width, int height)
{
    styleButton(button, name, width, height, accentColor, accentColor.darker(112), Qt::white, Qt::transparent);
}

void styleOutlinedButton(FlatButton& button, const char* name, int width, int height)
{
    QColor pressed = accentColor;
    pressed.setAlpha(48);
    styleButton(button, name, width, height, Qt::transparent, pressed, accentColor, accentColor);
}

} // namespace screenstyle
