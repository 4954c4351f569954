#pragma once
// TTableBox: the widget of a table box near the visible part of the design
// surface: a title bar with the box's title and the column list. Dragging
// the title bar moves the box and dragging its borders resizes it, through
// the box's PlaceBox. The box (TTableRep) owns the widget; the widget
// refers to the box.

#include <brindle/brindle_widgets_export.h>

#include <QFrame>
#include <QListWidget>

namespace brindle {

class TTableRep;

// The column list inside a box. Scrolling it moves the rows the box's
// lines attach to.
class BRINDLE_WIDGETS_EXPORT TTableRepListBox : public QListWidget {
    Q_OBJECT
public:
    TTableRepListBox(TTableRep* rep, QWidget* parent);

protected:
    void scrollContentsBy(int dx, int dy) override;

private:
    TTableRep* FRep;
};

class BRINDLE_WIDGETS_EXPORT TTableBox : public QFrame {
    Q_OBJECT
public:
    // Placed at the box's place, its list filled and scrolled as the box's
    // list last was.
    TTableBox(TTableRep* rep, QWidget* surface);
    ~TTableBox() override;

    TTableRep* Rep() const { return FRep; }
    TTableRepListBox* FieldsList() const { return FFieldsLB; }
    QWidget* TitleBar() const { return FTitleBar; }
    // A box being moved or resized keeps its widget wherever it goes.
    bool Dragging() const { return FPressed || FSizing; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool mouse(QWidget* source, QEvent* event);

    TTableRep* FRep;
    TTableRepListBox* FFieldsLB;
    QWidget* FTitleBar;
    // Dragging the title bar (FPressed) or a border (FSizing, with edges).
    bool FPressed = false;
    bool FMoved = false;
    bool FSizing = false;
    Qt::Edges FSizingEdges;
    QPoint FPressAt;
    QRect FPressPlace;
};

} // namespace brindle
