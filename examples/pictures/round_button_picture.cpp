#include "pictures.h"

#include <brindle/foundations/errors.h>
#include <brindle/panels/round_button.h>

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

namespace brindle {

namespace {

// The sheet paints a highlighted band behind each row of buttons, the way a
// panel marks its current row, so that a flat button's corners show it and
// an opaque button's do not.
class ButtonSheet : public QWidget {
public:
    QList<QRect> bands;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        for (const QRect& band : bands)
            painter.fillRect(band, QColor(0xFF, 0xF0, 0xB0));
    }
};

enum class Look { Up, Hover, Pressed, HoverAllowPress, PressedAllowPress, Disabled };

struct Column {
    Look look;
    const char* heading;
};

const Column Columns[] = {
    {Look::Up, "up"},
    {Look::Hover, "hover"},
    {Look::Pressed, "pressed"},
    {Look::HoverAllowPress, "hover,\nAllowPress"},
    {Look::PressedAllowPress, "pressed, AllowPress,\nPressedColor #9CB8E0"},
    {Look::Disabled, "disabled"},
};

struct Row {
    bool flat;
    bool rounded;
    const char* heading;
};

const Row Rows[] = {
    {true, true, "flat"},
    {false, true, "not flat"},
    {false, false, "not flat,\nnot rounded"},
};

// Puts the button into the look with the events a user's mouse would send.
void applyLook(TVxRndBtn* button, Look look)
{
    const QPointF centre = QRectF(button->rect()).center();
    if (look == Look::HoverAllowPress || look == Look::PressedAllowPress) {
        button->SetAllowPress(true);
        button->SetPressedColor(QColor(0x9C, 0xB8, 0xE0));
    }
    if (look != Look::Up && look != Look::Disabled) {
        QEnterEvent enter(centre, centre, button->mapToGlobal(centre));
        QApplication::sendEvent(button, &enter);
    }
    if (look == Look::Pressed || look == Look::PressedAllowPress) {
        QMouseEvent press(QEvent::MouseButtonPress, centre, button->mapToGlobal(centre), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(button, &press);
    }
    if (look == Look::Disabled)
        button->setEnabled(false);
}

} // namespace

void RenderRoundButtonPicture(const QString& path)
{
    constexpr int margin = 12;
    constexpr int rowHeadingWidth = 90;
    constexpr int columnWidth = 150;
    constexpr int headingHeight = 40;
    constexpr int rowHeight = 44;
    const QSize buttonSize(84, 22);

    ButtonSheet sheet;
    sheet.resize(2 * margin + rowHeadingWidth + columnWidth * std::size(Columns),
                 2 * margin + headingHeight + rowHeight * std::size(Rows));
    int x = margin + rowHeadingWidth;
    for (const Column& column : Columns) {
        auto* heading = new QLabel(QString::fromUtf8(column.heading), &sheet);
        heading->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        heading->setGeometry(x, margin, columnWidth, headingHeight - 6);
        x += columnWidth;
    }
    int y = margin + headingHeight;
    for (const Row& row : Rows) {
        auto* heading = new QLabel(QString::fromUtf8(row.heading), &sheet);
        heading->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        heading->setGeometry(margin, y, rowHeadingWidth, rowHeight);
        sheet.bands << QRect(margin + rowHeadingWidth, y + 6, columnWidth * std::size(Columns), rowHeight - 12);
        x = margin + rowHeadingWidth;
        for (const Column& column : Columns) {
            auto* button = new TVxRndBtn(&sheet);
            button->SetFlat(row.flat);
            button->SetRounded(row.rounded);
            button->SetCaption(QStringLiteral("&Run"));
            button->setGeometry(QRect(QPoint(x + (columnWidth - buttonSize.width()) / 2,
                                             y + (rowHeight - buttonSize.height()) / 2),
                                      buttonSize));
            applyLook(button, column.look);
            x += columnWidth;
        }
        y += rowHeight;
    }

    // Twice the pixels, so the picture stays sharp on a high-density screen.
    QPixmap picture(sheet.size() * 2);
    picture.setDevicePixelRatio(2);
    picture.fill(sheet.palette().color(QPalette::Window));
    sheet.render(&picture);
    if (!picture.save(path, "PNG"))
        throw Exception(QStringLiteral("Cannot write the picture %s"), {path});
}

} // namespace brindle
