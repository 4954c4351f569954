#pragma once
// TVxDesignArea: the scrolling surface of the structure design panel. Its
// content widget holds the table boxes as children and paints the link
// lines under them; it passes presses, double clicks, moves and right
// clicks to the panel. The surface grows with the boxes and is never
// smaller than the viewport. The panel owns the area; the area refers to
// the panel.

#include <brindle/brindle_widgets_export.h>

#include <QScrollArea>

namespace brindle {

class TVxStructDesignPanel;

class BRINDLE_WIDGETS_EXPORT TVxDesignArea : public QScrollArea {
    Q_OBJECT
public:
    // Room kept right of and below the farthest box.
    static constexpr int ExtentMargin = 20;

    explicit TVxDesignArea(TVxStructDesignPanel* panel);

    // The content widget: boxes are its children, positions its coordinates.
    QWidget* Surface() const { return widget(); }
    // Sizes the surface to hold every box.
    void UpdateExtent();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    TVxStructDesignPanel* FPanel;
};

} // namespace brindle
