// Brindle in German and back again: the query panel's sentence and operator
// menu, a dialog's buttons, the messages, and the shipped catalogue itself.

#include "panels/label_fixtures.h"
#include "query/query_fixtures.h"

#include <brindle/foundations/messages.h>
#include <brindle/panels/drop_down_list.h>
#include <brindle/panels/query_panel.h>
#include <brindle/panels/result_fields_panel.h>
#include <brindle/panels/titles_editor.h>
#include <brindle/panels/translation.h>

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

using namespace brindle;

namespace {

// What a user reads on a panel, its operator menu and a dialog made in the
// language installed at the time.
struct Shown {
    QString filter, linkType, addLine, addField;
    QStringList operators, buttons;
};

class Language : public ::fixtures::LabelWindow {
protected:
    void TearDown() override
    {
        InstallTranslation(QLocale(QLocale::English));
        LabelWindow::TearDown();
    }

    Shown shown()
    {
        brindle::fixtures::QueryModel m;
        TVxQueryPanel panel(&window);
        panel.resize(600, 300);
        panel.show();
        panel.Query().SetDbStruct(&m.model);
        panel.SetActive(true);
        TFilterBracket* root = panel.Query().Filter();
        TFilterCond* cond = panel.Query().AddCondition(root, m.custName);
        TVxResultFieldsPanel fields(&window);
        fields.BindQuery(&panel.Query());
        fields.SetActive(true);
        fields.show();
        Shown s{panel.GetRowControl(root, 1)->Caption(), panel.GetRowControl(root, 2)->Caption(),
                panel.AddRowLabel()->Caption(), fields.AddRowLabel()->Caption(), {}, {}};
        auto* op = qobject_cast<TDropDownPopup*>(panel.GetRowControl(cond, 2));
        if (!op) {
            ADD_FAILURE() << "the operator word opens no menu";
            return s;
        }
        ::fixtures::onPopup({Qt::Key_Escape}, [&](QWidget*) {
            for (int i = 0; i < op->Menu()->Items().Count(); ++i)
                s.operators << op->Menu()->Items().Items(i)->Caption;
        });
        QTest::mouseClick(op, Qt::LeftButton);
        const TdlgTitlesEditor dialog(DefaultTitles(), DefaultTitles());
        for (const QAbstractButton* button : dialog.findChild<QDialogButtonBox*>()->buttons())
            s.buttons << button->text().remove(u'&');
        s.buttons.sort();
        return s;
    }
};

TEST_F(Language, GermanReachesWhatIsMadeLaterAndEnglishComesBack)
{
    const Shown english = shown();
    EXPECT_EQ(english.filter, "Choose records where");
    const TVxQuery before;

    ASSERT_TRUE(InstallTranslation(QLocale(QLocale::German, QLocale::Germany)));
    const Shown german = shown();
    EXPECT_EQ(german.filter, "Datensätze wählen, bei denen");
    EXPECT_EQ(german.linkType, "alle");
    EXPECT_EQ(german.addLine, "< Hier klicken, um eine neue Bedingung hinzuzufügen >");
    EXPECT_EQ(german.addField, "< Klicken, um ein neues Feld hinzuzufügen >");
    EXPECT_TRUE(german.operators.contains("ist gleich")) << german.operators.join(", ").toStdString();
    EXPECT_TRUE(german.operators.contains("beginnt mit"));
    EXPECT_FALSE(german.operators.contains("is equal to"));
    // Ours, and Qt's own standard buttons.
    EXPECT_EQ(german.buttons, QStringList({"Abbrechen", "Auf Vorgabe zurücksetzen", "OK"}));
    EXPECT_EQ(LoadResString(_SAndConj), "und");
    EXPECT_EQ(LoadResString(_SQPEUnrecognizedField), "Unbekanntes Feld „%s“");
    // A query keeps the titles it was made with.
    EXPECT_EQ(before.GetTitle("ttlAll"), "all");
    EXPECT_EQ(TVxQuery().GetTitle("ttlAll"), "alle");

    EXPECT_FALSE(InstallTranslation(QLocale(QLocale::English)));
    const Shown back = shown();
    EXPECT_EQ(back.filter, english.filter);
    EXPECT_EQ(back.linkType, english.linkType);
    EXPECT_EQ(back.addLine, english.addLine);
    EXPECT_EQ(back.addField, english.addField);
    EXPECT_EQ(back.operators, english.operators);
    EXPECT_EQ(back.buttons, english.buttons);
    EXPECT_EQ(LoadResString(_SAndConj), "and");
}

// A language Brindle does not speak leaves it in English, Qt's words too.
TEST_F(Language, AnUnknownLanguageIsEnglish)
{
    const Shown english = shown();
    ASSERT_TRUE(InstallTranslation(QLocale(QLocale::German)));
    EXPECT_FALSE(InstallTranslation(QLocale(QLocale::Icelandic)));
    const Shown other = shown();
    EXPECT_EQ(other.filter, english.filter);
    EXPECT_EQ(other.buttons, english.buttons);
    EXPECT_EQ(LoadResString(_SError), "Error");
}

// The placeholders a text's code fills in, and its accelerator marks.
std::string marks(const QString& text)
{
    static const QRegularExpression mark(QStringLiteral("%(\\d+|n|s|d)|@[0-9f]?|&"));
    QStringList found;
    for (auto it = mark.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    found.sort();
    return found.join(u' ').toStdString();
}

TEST(GermanCatalogue, EveryTextIsTranslatedWithTheSamePlaceholders)
{
    QFile file(QStringLiteral(BRINDLE_TRANSLATION_DE));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString context, source;
    int messages = 0, translations = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"name") {
            context = xml.readElementText();
        } else if (xml.name() == u"source") {
            source = xml.readElementText();
            ++messages;
        } else if (xml.name() == u"translation") {
            ++translations;
            const std::string where = (context + QStringLiteral(": ") + source).toStdString();
            EXPECT_TRUE(xml.attributes().value(QStringLiteral("type")).isEmpty()) << where;
            // Plain text, or one numerus form after another.
            QString text;
            QStringList forms;
            while (!xml.atEnd() && !(xml.readNext() == QXmlStreamReader::EndElement && xml.name() == u"translation")) {
                if (xml.isCharacters())
                    text += xml.text();
                else if (xml.isStartElement())
                    forms << xml.readElementText();
            }
            if (forms.isEmpty())
                forms << text;
            for (const QString& form : forms) {
                EXPECT_FALSE(form.trimmed().isEmpty()) << where;
                EXPECT_EQ(marks(form), marks(source)) << where;
            }
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GT(messages, 400);
    EXPECT_EQ(translations, messages);
}

} // namespace
