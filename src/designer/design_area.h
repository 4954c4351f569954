#pragma once
// TVxDesignArea: the scrolling surface of the structure design panel. Its
// content widget holds the widgets of the table boxes near the viewport
// and paints the link lines under them; it passes presses, double clicks,
// moves and right clicks to the panel, and tells it when scrolling or
// resizing shows another part of the surface. The surface grows with the
// boxes and is never smaller than the viewport. The panel owns the area;
// the area refers to the panel.

#include <brindle/brindle_widgets_export.h>

#include <QScrollArea>

namespace brindle {

class TVxStructDesignPanel;

class BRINDLE_WIDGETS_EXPORT TVxDesignArea : public QScrollArea {
    Q_OBJECT
public:
    // Room kept right of and below the farthest box.
    static constexpr int ExtentMargin = 20;
    // Boxes this near the viewport have widgets too, so that a short
    // scroll finds them made.
    static constexpr int ViewMargin = 160;

    explicit TVxDesignArea(TVxStructDesignPanel* panel);

    // The content widget: box widgets are its children, positions its coordinates.
    QWidget* Surface() const { return widget(); }
    // Sizes the surface to hold every box.
    void UpdateExtent();
    // The part of the surface in the viewport, widened by ViewMargin.
    QRect NearRect() const;
    // The height of a row of a box's column list in the surface's font.
    int RowHeight() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent* event) override;

private:
    TVxStructDesignPanel* FPanel;
    mutable int FRowHeight = 0;
};

} // namespace brindle
