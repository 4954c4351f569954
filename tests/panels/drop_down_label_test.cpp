// The labels driven as a user drives them: clicks, keys and focus, checked
// through their values, captions, words and events.

#include "panels/label_fixtures.h"

#include <brindle/foundations/date_time.h>
#include <brindle/panels/drop_down_edits.h>
#include <brindle/panels/word_labels.h>

#include <QDateTimeEdit>
#include <QLineEdit>

using namespace brindle;

namespace {

class Labels : public fixtures::LabelWindow {
protected:
    // Records the events of a label in the order they fire.
    void record(TDropDownLabel& label)
    {
        label.BeforeDropDown = [this](TDropDownLabel*) { events << "BeforeDropDown"; };
        label.AfterDropDown = [this](TDropDownLabel*) { events << "AfterDropDown"; };
        label.BeforeDropUp = [this](TDropDownLabel*, QString& value, bool& accept) {
            value = QStringLiteral("discarded");
            events << (accept ? "BeforeDropUp accept" : "BeforeDropUp cancel");
        };
        label.AfterDropUp = [this](TDropDownLabel*, bool accepted) {
            events << (accepted ? "AfterDropUp accepted" : "AfterDropUp cancelled");
        };
    }
    QLineEdit* lineEdit(TDropDownLabel& label) { return qobject_cast<QLineEdit*>(label.EditControl()); }
    void type(QWidget* editor, const QString& text, Qt::Key finish)
    {
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, finish);
    }

    QStringList events;
};

TEST_F(Labels, CaptionsClicksAndTheCustomDropDown)
{
    TDropDownLabel label(&window);
    EXPECT_EQ(label.Caption(), "_____");
    label.SetCaption(QStringLiteral("Fish & Chips"));
    EXPECT_EQ(label.Caption(), "Fish & Chips");
    EXPECT_EQ(label.width(), label.fontMetrics().horizontalAdvance("Fish & Chips"));
    label.SetValue(QStringLiteral("old"));
    EXPECT_EQ(label.Caption(), "old");

    int altClicks = 0;
    int rightClicks = 0;
    label.OnAltClick = [&](TDropDownLabel*) { ++altClicks; };
    label.OnRightClick = [&](TDropDownLabel*) { ++rightClicks; };
    QString answer = QStringLiteral("new");
    label.OnCustomDropDown = [&](TDropDownLabel*, QString& value, bool& accept) {
        EXPECT_TRUE(accept);
        events << "custom " + value;
        value = answer;
    };
    record(label);

    QTest::mouseClick(&label, Qt::LeftButton, Qt::ControlModifier);
    QTest::mouseClick(&label, Qt::RightButton);
    EXPECT_EQ(altClicks, 1);
    EXPECT_EQ(rightClicks, 1);
    EXPECT_TRUE(events.isEmpty());

    // The custom editor closes inside the opening: no AfterDropDown.
    QTest::mouseClick(&label, Qt::LeftButton);
    EXPECT_EQ(label.Value(), "new");
    EXPECT_EQ(events, QStringList({"BeforeDropDown", "custom old", "BeforeDropUp accept", "AfterDropUp accepted"}));
    EXPECT_FALSE(label.Dropped());

    // An empty answer keeps the value even when accepted.
    answer.clear();
    QTest::mouseClick(&label, Qt::LeftButton);
    EXPECT_EQ(label.Value(), "new");

    // A focused label is framed in navy.
    label.SetFocused(true);
    const QImage focused = label.grab().toImage();
    EXPECT_EQ(focused.pixelColor(0, 0), QColor(0, 0, 128));
    EXPECT_EQ(focused.pixelColor(label.width() - 1, label.height() - 1), QColor(0, 0, 128));

    // A fixed label does not open at all.
    events.clear();
    label.SetFixed(true);
    QTest::mouseClick(&label, Qt::LeftButton);
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(Labels, EnterAcceptsEscapeCancelsAndLeavingAccepts)
{
    TDropDownEdit label(&window);
    label.move(50, 40);
    label.SetValue(QStringLiteral("Berlin"));
    record(label);

    QTest::mouseClick(&label, Qt::LeftButton);
    ASSERT_TRUE(label.EditMode());
    QLineEdit* edit = lineEdit(label);
    EXPECT_TRUE(label.isHidden());
    EXPECT_EQ(edit->text(), "Berlin");
    EXPECT_EQ(edit->pos(), label.pos());
    edit->selectAll();
    type(edit, "Paris", Qt::Key_Return);
    EXPECT_EQ(label.Value(), "Paris");
    EXPECT_FALSE(label.EditMode());
    EXPECT_FALSE(label.isHidden());
    EXPECT_EQ(events, QStringList({"BeforeDropDown", "AfterDropDown", "BeforeDropUp accept", "AfterDropUp accepted"}));

    label.DropDown();
    lineEdit(label)->selectAll();
    type(lineEdit(label), "Rome", Qt::Key_Escape);
    EXPECT_EQ(label.Value(), "Paris");

    // A handler may turn an accepting close into a cancelling one.
    label.BeforeDropUp = [](TDropDownLabel*, QString&, bool& accept) { accept = false; };
    label.DropDown();
    QTest::keyClicks(lineEdit(label), "x");
    QTest::keyClick(lineEdit(label), Qt::Key_Return);
    EXPECT_EQ(label.Value(), "Paris");

    // Focus moving elsewhere accepts.
    label.BeforeDropUp = nullptr;
    QLineEdit other(&window);
    other.show();
    label.DropDown();
    QTest::keyClicks(lineEdit(label), "!");
    other.setFocus();
    EXPECT_EQ(label.Value(), "Paris!");
    EXPECT_FALSE(label.Dropped());

    // A double click hands the text to the host, which may change it.
    label.OnEditDblClick = [](TDropDownLabel*, QString& text) { text = text.toUpper(); };
    label.DropDown();
    QTest::mouseDClick(lineEdit(label), Qt::LeftButton);
    EXPECT_EQ(lineEdit(label)->text(), "PARIS!");
    label.CloseEdit(false);

    // The editor is wide enough for its text and one more wide letter,
    // also after each key typed or taken back.
    label.DropDown();
    const auto fits = [&] { return label.fontMetrics().horizontalAdvance(lineEdit(label)->text() + u'W') + 6; };
    EXPECT_EQ(lineEdit(label)->width(), fits());
    lineEdit(label)->clear();
    for (Qt::Key key : {Qt::Key_4, Qt::Key_5, Qt::Key_W, Qt::Key_Backspace}) {
        QTest::keyClick(lineEdit(label), key);
        EXPECT_EQ(lineEdit(label)->width(), fits()) << lineEdit(label)->text().toStdString();
    }
    label.CloseEdit(false);
}

TEST_F(Labels, KeysAreFilteredByValueType)
{
    struct Case {
        TValueType type;
        QString typed;
        QString kept;
    } const cases[] = {
        {vtInteger, "1a2-,\"x3", "12-,\"3"},
        {vtFloat, "1.5e", "1.5"},
        {vtString, "Ab 1.", "Ab 1."},
    };
    for (const Case& c : cases) {
        TDropDownEdit label(&window);
        label.SetValueType(c.type);
        label.DropDown();
        QTest::keyClicks(lineEdit(label), c.typed + "9");
        QTest::keyClick(lineEdit(label), Qt::Key_Backspace);
        QTest::keyClick(lineEdit(label), Qt::Key_Enter);
        EXPECT_EQ(label.Value(), c.kept) << c.typed.toStdString();
    }

    // The case options are separate; upper case wins while both are on.
    TDropDownEdit cased(&window);
    cased.SetAutoUpperCase(true);
    cased.SetAutoLowerCase(true);
    EXPECT_TRUE(cased.AutoUpperCase() && cased.AutoLowerCase());
    for (bool upper : {true, false}) {
        cased.SetAutoUpperCase(upper);
        cased.DropDown();
        lineEdit(cased)->clear();
        type(lineEdit(cased), QStringLiteral("Straße"), Qt::Key_Return);
        EXPECT_EQ(cased.Value(), upper ? QStringLiteral("STRASSE") : QStringLiteral("straße"));
    }
    cased.SetAutoLowerCase(false);
    cased.SetValue(QStringLiteral("Straße"));
    EXPECT_EQ(cased.Value(), QStringLiteral("Straße"));
}

TEST_F(Labels, AMaskedTextMustSatisfyItsMask)
{
    TDropDownMaskEdit label(&window);
    label.SetEditMask(QStringLiteral("99-99;_"));
    label.DropDown();
    QLineEdit* edit = lineEdit(label);
    QTest::keyClicks(edit, "12");
    QTest::keyClick(edit, Qt::Key_Return);
    // Refused: the error is reported and the editor stays open.
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(label.Dropped());
    EXPECT_TRUE(label.EditMode());
    QTest::keyClicks(edit, "34");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(label.Value(), "1234");
    EXPECT_EQ(label.Caption(), "12-34");

    // Reopened, the editor shows the caption; the formatted value keeps literals.
    label.SetUseFormattedValue(true);
    label.DropDown();
    EXPECT_EQ(lineEdit(label)->text(), "12-34");
    QTest::keyClick(lineEdit(label), Qt::Key_Return);
    EXPECT_EQ(label.Value(), "12-34");
}

TEST_F(Labels, DatesOpenOnTodayAndWriteTheInternalForm)
{
    TDropDownDateTimeEdit label(&window);
    label.move(20, 100);
    label.DropDown();
    auto* picker = qobject_cast<QDateTimeEdit*>(label.EditControl());
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->date(), QDate::currentDate());
    EXPECT_EQ(picker->width(), 10 * label.fontMetrics().horizontalAdvance("0") + 20);
    EXPECT_EQ(picker->y(), label.y() - (picker->height() - label.height()) / 2);
    picker->setDate(QDate(2024, 2, 29));
    QTest::keyClick(picker, Qt::Key_Return);
    EXPECT_EQ(label.Value(), BrDateTimeToStr(EncodeDate(2024, 2, 29)));
    EXPECT_EQ(label.Caption(), QLocale().toString(QDate(2024, 2, 29), QLocale::ShortFormat));

    TDropDownDateTimeEdit time(&window);
    time.SetKind(ekTime);
    time.SetValue(BrDateTimeToStr(EncodeTime(13, 5, 7, 0)));
    time.DropDown();
    auto* clock = qobject_cast<QDateTimeEdit*>(time.EditControl());
    EXPECT_EQ(clock->time(), QTime(13, 5, 7));
    // A double click inside the open picker gives a handler the value's own
    // form, which it may hand back.
    QStringList seen;
    time.OnEditDblClick = [&](TDropDownLabel*, QString& text) { seen << text; };
    QTest::mouseDClick(clock, Qt::LeftButton);
    EXPECT_EQ(seen, QStringList{BrDateTimeToStr(EncodeTime(13, 5, 7, 0))});
    EXPECT_EQ(clock->time(), QTime(13, 5, 7));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    time.OnEditDblClick = nullptr;
    time.CloseEdit(false);
}

TEST_F(Labels, RightToLeftEditorsAlignTheirRightEdges)
{
    TDropDownEdit label(&window);
    label.SetBiDiMode(Qt::RightToLeft);
    label.SetValue(QStringLiteral("a somewhat longer value"));
    label.move(200, 10);
    label.DropDown();
    QWidget* edit = label.EditControl();
    EXPECT_EQ(edit->layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(edit->x() + edit->width(), label.x() + label.width());
    label.CloseEdit(true);
}

TEST_F(Labels, ErrorsInHandlersStopAtTheEventLoop)
{
    TDropDownEdit label(&window);
    label.BeforeDropDown = [](TDropDownLabel*) { throw EDDLabelError(QStringLiteral("host failed")); };
    QTest::mouseClick(&label, Qt::LeftButton);
    EXPECT_EQ(errors, QStringList{"host failed"});
    EXPECT_FALSE(label.Dropped());
    EXPECT_FALSE(label.isHidden());
}

TEST_F(Labels, BoundLabelsFollowTheirWordsAndWriteBack)
{
    struct Case {
        TWordEditor editor;
        const char* className;
    } const cases[] = {
        {weNone, "brindle::TDropDownLabel"},          {weCustom, "brindle::TDropDownLabel"},
        {weEdit, "brindle::TDropDownEdit"},           {weMaskEdit, "brindle::TDropDownMaskEdit"},
        {weDateTime, "brindle::TDropDownDateTimeEdit"}, {wePopup, "brindle::TDropDownPopup"},
        {weListBox, "brindle::TDropDownListBox"},     {weCheckList, "brindle::TDropDownCheckListBox"},
    };
    for (const Case& c : cases) {
        TQueryWord word(c.editor);
        auto label = CreateWordLabel(word, &window);
        EXPECT_STREQ(label->metaObject()->className(), c.className);
        EXPECT_TRUE(LabelFitsEditor(*label, c.editor));
        EXPECT_EQ(&label->Word(), &word);
    }

    TQueryWord word(weEdit);
    word.SetValue(QStringLiteral("Germany"));
    word.SetHint(QStringLiteral("Country"));
    word.ValueType = vtInteger;
    auto label = CreateWordLabel(word, &window);
    EXPECT_EQ(label->Caption(), "Germany");
    EXPECT_EQ(label->toolTip(), "Country");
    word.SetCaption(QStringLiteral("France"));
    EXPECT_EQ(label->Caption(), "France");
    word.SetVisible(false);
    EXPECT_TRUE(label->isHidden());
    word.SetVisible(true);
    word.SetEnabled(false);
    EXPECT_FALSE(label->isEnabled());
    word.SetEnabled(true);

    // The editor's settings are the word's; an accepted value goes back to
    // the word, and then the host hears of it.
    label->DropDown();
    QTest::keyClicks(lineEdit(*label), "x7");
    QTest::keyClick(lineEdit(*label), Qt::Key_Return);
    EXPECT_EQ(word.Value(), "Germany7");
    QStringList hooked;
    label->OnAcceptValue = [&](TDropDownLabel*, const QString& value) { hooked << value; };
    label->DropDown();
    QTest::keyClick(lineEdit(*label), Qt::Key_8);
    QTest::keyClick(lineEdit(*label), Qt::Key_Return);
    EXPECT_EQ(hooked, QStringList{"Germany78"});
    EXPECT_EQ(word.Value(), "Germany78");

    // Unbound, the label shows its own word again.
    label->BindWord(nullptr);
    EXPECT_EQ(label->Caption(), "_____");
    word.SetCaption(QStringLiteral("Spain"));
    EXPECT_EQ(label->Caption(), "_____");
}

} // namespace
