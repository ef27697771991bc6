#include "Controls/CustomAnimator.h"

#include "Controls/Animations.h"
#include "Controls/ViewPinning.h"
#include "Foundation/PresentationSlots.h"
#include "Foundation/Settings.h"

#include <QGraphicsOpacityEffect>
#include <QMainWindow>
#include <QParallelAnimationGroup>
#include <QPointer>
#include <QPropertyAnimation>
#include <QPushButton>

namespace {

const QColor kOverlayColor = QColor::fromRgbF(0, 0, 0, 0.7f);

// The view that holds a window's content.
QWidget& contentView(QWidget& view)
{
    QWidget* window = view.window();
    if (auto* mainWindow = qobject_cast<QMainWindow*>(window); mainWindow && mainWindow->centralWidget())
        return *mainWindow->centralWidget();
    return *window;
}

} // namespace

CustomAnimator::CustomAnimator(double duration, const QRect& rect, QObject* parent)
    : QObject(parent), duration(duration), rect(rect)
{
}

qreal CustomAnimator::alpha(const QWidget& view)
{
    const auto* effect = qobject_cast<const QGraphicsOpacityEffect*>(view.graphicsEffect());
    return effect ? effect->opacity() : 1.0;
}

QGraphicsOpacityEffect& CustomAnimator::opacityEffect(QWidget& view)
{
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(view.graphicsEffect());
    if (effect == nullptr) {
        effect = new QGraphicsOpacityEffect(&view);
        view.setGraphicsEffect(effect);
    }
    return *effect;
}

QWidget* CustomAnimator::makeDimmingOverlay(QWidget& content)
{
    const QSize window = content.window()->frameGeometry().size();
    auto* box = new QWidget(&content);
    box->setObjectName("dimmingOverlay");
    box->setGeometry(0, 0, window.width(), window.height() - overlayTitleStrip);
    box->setAutoFillBackground(true);
    QPalette colours = box->palette();
    colours.setColor(QPalette::Window, kOverlayColor);
    box->setPalette(colours);

    // A transparent button without action takes the clicks below the top strip.
    auto* button = new QPushButton(box);
    button->setObjectName("dimmingOverlayButton");
    button->setFlat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setStyleSheet("background: transparent; border: none;");
    pinToSuperviewEdges(*button, *box, overlayTitleStrip);

    pinToSuperviewEdges(*box, content);
    box->show();
    return box;
}

void CustomAnimator::fade(QWidget& view, qreal alpha, const QRect& frame, std::function<void()> completion)
{
    auto* group = new QParallelAnimationGroup(this);
    auto* opacity = new QPropertyAnimation(&opacityEffect(view), "opacity", group);
    opacity->setEndValue(alpha);
    auto* geometry = new QPropertyAnimation(&view, "geometry", group);
    geometry->setEndValue(frame);
    for (auto* animation : {opacity, geometry}) {
        animation->setDuration(static_cast<int>(fadeSeconds * 1000));
        group->addAnimation(animation);
    }
    connect(group, &QAbstractAnimation::finished, this, std::move(completion));
    group->start(QAbstractAnimation::DeleteWhenStopped);
}

void CustomAnimator::animatePresentation(QWidget& presentedView, QWidget& presentingView)
{
    standardDefaults().setBool(SettingsKey::isPopUp, true);
    putUpDimmingOverlay(presentingView);

    // It starts as high as `rect`, its bottom edge slideOffset below the presenting top.
    unpinFromSuperview(presentedView);
    presentedView.setParent(&presentingView);
    opacityEffect(presentedView).setOpacity(0.0);
    presentedView.setGeometry(rect.x(), slideOffset - rect.height(), rect.width(), rect.height());
    presentedView.raise();
    presentedView.show();

    QPointer<QWidget> presented(&presentedView);
    QPointer<QWidget> presenting(&presentingView);
    fade(presentedView, 1.0, presentingView.rect(), [presented, presenting] {
        if (!presented || !presenting)
            return;
        presented->setGraphicsEffect(nullptr);
        pinToSuperviewEdges(*presented, *presenting);
    });
}

void CustomAnimator::animateDismissal(QWidget& dismissedView, QWidget& fromView)
{
    standardDefaults().setBool(SettingsKey::isPopUp, false);
    unpinFromSuperview(dismissedView);
    const QRect from = fromView.rect();
    QPointer<QWidget> dismissed(&dismissedView);
    fade(dismissedView, 0.0, QRect(from.x(), slideOffset, from.width(), 0), [dismissed] {
        if (dismissed) {
            dismissed->hide();
            dismissed->setParent(nullptr);
            dismissed->setGraphicsEffect(nullptr);
        }
        takeDownDimmingOverlay();
    });
}

QWidget& CustomAnimator::putUpDimmingOverlay(QWidget& view)
{
    if (!dimmingOverlay())
        dimmingOverlay() = makeDimmingOverlay(contentView(view));
    return *dimmingOverlay();
}

void CustomAnimator::takeDownDimmingOverlay()
{
    if (QWidget* overlay = dimmingOverlay()) {
        dimmingOverlay() = nullptr;
        overlay->hide();
        overlay->deleteLater();
    }
}

void CustomAnimator::finishAnimations()
{
    controls::finishAnimations(this);
}
