#pragma once

class QWidget;

// Keeps `view`, already a child of `container`, covering the container: its leading,
// trailing and bottom edges on the container's, its top edge `top` below the
// container's top, from now on and through every resize of the container. Pinning
// again replaces the earlier pin; the pin ends when the view leaves the container.
void pinToSuperviewEdges(QWidget& view, QWidget& container, int top = 0);

// Ends the pins of `view`; its geometry stays as it is.
void unpinFromSuperview(QWidget& view);
