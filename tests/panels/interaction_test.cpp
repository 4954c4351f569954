// The user interaction routines with the host's handlers and a private
// settings folder.
#include <brindle/panels/interaction.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace brindle {
namespace {

TEST(Interaction, WindowPlaceSurvivesInTheSettings)
{
    QTemporaryDir folder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    QWidget saved;
    saved.setGeometry(30, 40, 220, 150);
    SaveControlPosReg(&saved, "Editor\\Fields");
    EXPECT_EQ(QSettings("Tarvik", QApplication::applicationName()).value("Editor/Fields/Width").toInt(), 220);

    QWidget loaded;
    LoadControlPosReg(&loaded, "Editor\\Fields");
    EXPECT_EQ(loaded.geometry(), QRect(30, 40, 220, 150));

    // Nothing stored: the window keeps its place.
    QWidget untouched;
    untouched.setGeometry(1, 2, 50, 60);
    LoadControlPosReg(&untouched, "Nothing");
    EXPECT_EQ(untouched.geometry(), QRect(1, 2, 50, 60));

    // Saved on a screen that is gone: brought onto the primary screen.
    saved.setGeometry(9000, 9000, 220, 150);
    SaveControlPosReg(&saved, "Editor\\Fields");
    LoadControlPosReg(&loaded, "Editor\\Fields");
    EXPECT_EQ(loaded.geometry(),
              QRect(QApplication::primaryScreen()->availableGeometry().topLeft(), QSize(220, 150)));
}

TEST(Interaction, QuestionsAndOpeningGoToTheHostsHandlers)
{
    QString asked;
    SetAskHandler([&](const QString& question) {
        asked = question;
        return question.endsWith('?');
    });
    EXPECT_TRUE(Ask("Delete the row?"));
    EXPECT_FALSE(Ask("Delete the row"));
    EXPECT_EQ(asked, "Delete the row");
    SetAskHandler({});

    QList<QUrl> opened;
    SetOpenUrlHandler([&](const QUrl& url) {
        opened << url;
        return true;
    });
    QTemporaryDir folder;
    QFile(folder.filePath("notes.txt")).open(QIODevice::WriteOnly);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    EXPECT_TRUE(RunProgramEx("notes.txt"));
    EXPECT_TRUE(RunProgramEx("/srv/docs/manual.pdf"));
    EXPECT_TRUE(RunProgramEx("https://example.org/help?topic=1"));
    EXPECT_FALSE(RunProgramEx(""));
    QDir::setCurrent(previous);
    SetOpenUrlHandler({});
    EXPECT_EQ(opened, (QList<QUrl>{QUrl::fromLocalFile(folder.filePath("notes.txt")),
                                   QUrl::fromLocalFile("/srv/docs/manual.pdf"),
                                   QUrl("https://example.org/help?topic=1")}));
}

TEST(Interaction, InfoNoticeShowsOneWindowUntilHidden)
{
    const auto notices = [] {
        QStringList texts;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* label = qobject_cast<QLabel*>(w); label && label->isVisible())
                texts << label->text();
        return texts;
    };
    ShowInfo("Reading the database...");
    ShowInfo("Building the model...");
    EXPECT_EQ(notices(), QStringList{"Building the model..."});
    HideInfo();
    EXPECT_TRUE(notices().isEmpty());
}

} // namespace
} // namespace brindle
