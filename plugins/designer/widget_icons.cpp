#include "widget_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace brindle::designer_plugin {
namespace {

const QColor Outline(0x80, 0x80, 0x80);
const QColor Tile(0xF0, 0xF0, 0xF0);
const QColor Word(0x00, 0x00, 0xFF);
const QColor Sort(0x00, 0x80, 0x00);
const QColor Text(0x40, 0x40, 0x40);

// A word as the panels show it: a short underlined stroke.
void word(QPainter& p, const QColor& colour, qreal x, qreal y, qreal length)
{
    p.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(x, y), QPointF(x + length, y));
    p.setPen(QPen(colour, 1));
    p.drawLine(QPointF(x, y + 2.5), QPointF(x + length, y + 2.5));
}

// A row button: the round button's shape at icon size.
void button(QPainter& p, qreal x, qreal y)
{
    p.setPen(QPen(Outline, 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(x, y, 6, 6), 2.5, 2.5);
}

void box(QPainter& p, qreal x, qreal y, const QColor& title)
{
    p.setPen(QPen(Outline, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(x, y, 10, 12));
    p.fillRect(QRectF(x + 0.5, y + 0.5, 9.5, 3), title);
    p.setPen(QPen(Text, 1));
    p.drawLine(QPointF(x + 2, y + 7), QPointF(x + 8, y + 7));
    p.drawLine(QPointF(x + 2, y + 9.5), QPointF(x + 7, y + 9.5));
}

void sketch(QPainter& p, IconKind kind)
{
    switch (kind) {
    case IconKind::QueryPanel:
        // Sentences of words, the inner ones indented like a bracket's rows.
        button(p, 5, 6);
        word(p, Word, 13, 8.5, 12);
        button(p, 9, 14);
        word(p, Word, 17, 16.5, 6);
        word(p, Word, 24.5, 16.5, 3);
        button(p, 9, 22);
        word(p, Word, 17, 24.5, 10);
        break;
    case IconKind::ResultFieldsPanel:
        // Numbered columns: button, field word, sorting word.
        for (int row = 0; row < 3; ++row) {
            const qreal y = 6 + row * 8;
            button(p, 5, y);
            word(p, Word, 13, y + 2.5, 8);
            word(p, Sort, 23, y + 2.5, 4);
        }
        break;
    case IconKind::StructDesignPanel:
        // Two tables joined by a link.
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(QPointF(15, 14), QPointF(18, 14));
        p.drawLine(QPointF(18, 14), QPointF(18, 21));
        p.drawLine(QPointF(18, 21), QPointF(17, 21));
        box(p, 5, 6, QColor(0x00, 0x00, 0x80));
        box(p, 17, 15, QColor(0x80, 0x80, 0x80));
        break;
    case IconKind::DropDownLabel:
        // One word with the list it opens.
        word(p, Word, 7, 10, 18);
        p.setPen(QPen(Outline, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7.5, 15.5, 18, 11));
        p.setPen(QPen(Text, 1));
        p.drawLine(QPointF(10, 19), QPointF(22, 19));
        p.drawLine(QPointF(10, 23), QPointF(19, 23));
        break;
    }
}

} // namespace

QIcon WidgetIcon(IconKind kind)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath tile;
    tile.addRoundedRect(QRectF(1.5, 1.5, 29, 29), 6, 6);
    p.fillPath(tile, Tile);
    p.strokePath(tile, QPen(Outline, 1));
    sketch(p, kind);
    p.end();
    return QIcon(pixmap);
}

} // namespace brindle::designer_plugin
