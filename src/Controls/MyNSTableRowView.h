#pragma once

#include <QColor>
#include <QWidget>

// A table row that shows its selection as a flat dark fill over its whole bounds.
// Never emphasised; the highlight style is always the regular one.
class MyNSTableRowView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool selected READ isSelected WRITE setSelected)

public:
    static const QColor selectionColor;
    static constexpr int regularHighlightStyle = 0;

    explicit MyNSTableRowView(QWidget* parent = nullptr);

    bool isSelected() const { return selected_; }
    void setSelected(bool selected);
    bool isEmphasized() const { return false; }
    int selectionHighlightStyle() const { return regularHighlightStyle; }

    static void drawSelection(QPainter& painter, const QRectF& bounds);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool selected_ = false;
};
