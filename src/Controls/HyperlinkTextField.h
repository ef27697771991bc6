#pragma once

#include <QColor>
#include <QLabel>

// A label that behaves as a link: the pointing-hand cursor over it, a new look on hover,
// press and release, and on release one notification (default center, no object, no
// userInfo) named after the first kind set, in the order of the release table. A label
// of no kind never changes its look or posts. Every link, of a kind or none, also
// signals `clicked` on a release over it, for an owner that acts on it directly. Tab
// gives it the keyboard (a focus ring shows that); Space or Return then acts as a click,
// and screen readers see a link with a Press action. Main thread only.
class HyperlinkTextField : public QLabel {
    Q_OBJECT
    Q_PROPERTY(bool isRemoveNowExitVC MEMBER isRemoveNowExitVC)
    Q_PROPERTY(bool isExitVC MEMBER isExitVC)
    Q_PROPERTY(bool isAutoMarkSelection MEMBER isAutoMarkSelection)
    Q_PROPERTY(bool isEULA MEMBER isEULA)
    Q_PROPERTY(bool isUnInstallInstructions MEMBER isUnInstallInstructions)
    Q_PROPERTY(bool isPrivacyPolicy MEMBER isPrivacyPolicy)

public:
    // A look of the text: its colour and whether it is underlined.
    struct TextAttributes {
        QColor foreground;
        bool underline = false;
    };

    explicit HyperlinkTextField(QWidget* parent = nullptr);
    explicit HyperlinkTextField(const QString& text, QWidget* parent = nullptr);

    bool isRemoveNowExitVC = false;
    bool isExitVC = false;
    bool isAutoMarkSelection = false;
    bool isEULA = false;
    bool isUnInstallInstructions = false;
    bool isPrivacyPolicy = false;

    const TextAttributes attributesBeforeClick;
    const TextAttributes attributesAfterClick;
    const TextAttributes attributesWithoutUnderLineWithLink;
    const TextAttributes attributesBeforeClickWithLink;
    const TextAttributes attributesAfterClickWithLink;

    // The look shown now.
    QColor textColor() const;
    bool isUnderlined() const { return font().underline(); }

    // What a release over the link does.
    void activate();

signals:
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void release(bool over);
    bool isPageLink() const { return isEULA || isUnInstallInstructions || isPrivacyPolicy; }
    bool isExitLink() const { return isExitVC || isAutoMarkSelection || isRemoveNowExitVC; }
    void apply(const TextAttributes& attributes);
};
