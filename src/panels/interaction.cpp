#include <brindle/panels/interaction.h>

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace brindle {

namespace {

AskHandler& askHandler()
{
    static AskHandler current;
    return current;
}

OpenUrlHandler& openUrlHandler()
{
    static OpenUrlHandler current;
    return current;
}

QPointer<QLabel>& notice()
{
    static QPointer<QLabel> current;
    return current;
}

const QString LeftKey = QStringLiteral("Left");
const QString TopKey = QStringLiteral("Top");
const QString WidthKey = QStringLiteral("Width");
const QString HeightKey = QStringLiteral("Height");

// The settings opened at the key. A key may be written the registry's way,
// "Forms\Editor"; outside Windows QSettings takes only "/" between
// sub-keys, so backslashes become slashes here.
struct PlaceSettings : QSettings {
    explicit PlaceSettings(const QString& key)
        : QSettings(QStringLiteral("Tarvik"), QApplication::applicationName())
    {
        beginGroup(QString(key).replace(QLatin1Char('\\'), QLatin1Char('/')));
    }
};

} // namespace

void SetAskHandler(AskHandler handler)
{
    askHandler() = std::move(handler);
}

void SetOpenUrlHandler(OpenUrlHandler handler)
{
    openUrlHandler() = std::move(handler);
}

bool Ask(const QString& question)
{
    if (askHandler())
        return askHandler()(question);
    return QMessageBox::question(QApplication::activeWindow(), QApplication::applicationName(), question,
                                 QMessageBox::Yes | QMessageBox::No)
           == QMessageBox::Yes;
}

void ShowInfo(const QString& text)
{
    QPointer<QLabel>& label = notice();
    if (!label) {
        // A tool window of the active window goes with it; one shown with no
        // window open is freed by HideInfo.
        label = new QLabel(QApplication::activeWindow(), Qt::Tool | Qt::FramelessWindowHint);
        label->setAttribute(Qt::WA_ShowWithoutActivating);
        label->setFrameStyle(QFrame::Box | QFrame::Raised);
        label->setAlignment(Qt::AlignCenter);
        label->setMargin(16);
    }
    label->setText(text);
    label->adjustSize();
    const QWidget* over = label->parentWidget();
    const QRect area = over ? over->frameGeometry() : QApplication::primaryScreen()->availableGeometry();
    label->move(area.center() - label->rect().center());
    label->show();
    // The caller goes on with long work without returning to the event loop:
    // let the window appear and paint now, leaving input events queued.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void HideInfo()
{
    delete notice().data();
}

void LoadControlPosReg(QWidget* control, const QString& key)
{
    PlaceSettings settings(key);
    bool ok[4] = {};
    QRect place(settings.value(LeftKey).toInt(&ok[0]), settings.value(TopKey).toInt(&ok[1]),
                settings.value(WidthKey).toInt(&ok[2]), settings.value(HeightKey).toInt(&ok[3]));
    if (!(ok[0] && ok[1] && ok[2] && ok[3]) || place.isEmpty())
        return;
    // A window saved on a screen that has gone would open out of sight.
    if (control->isWindow() && !QApplication::screenAt(place.center()))
        place.moveTopLeft(QApplication::primaryScreen()->availableGeometry().topLeft());
    control->setGeometry(place);
}

void SaveControlPosReg(QWidget* control, const QString& key)
{
    PlaceSettings settings(key);
    const QRect place = control->geometry();
    settings.setValue(LeftKey, place.left());
    settings.setValue(TopKey, place.top());
    settings.setValue(WidthKey, place.width());
    settings.setValue(HeightKey, place.height());
}

bool RunProgramEx(const QString& documentOrUrl)
{
    const QUrl url = QUrl::fromUserInput(documentOrUrl.trimmed(), QDir::currentPath());
    if (!url.isValid())
        return false;
    if (openUrlHandler())
        return openUrlHandler()(url);
    return QDesktopServices::openUrl(url);
}

} // namespace brindle
