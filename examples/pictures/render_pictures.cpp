// Renders the pictures of the widgets into a folder (docs/images in the
// repository), off screen unless a platform is chosen.

#include "pictures.h"

#include <QApplication>

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: render_pictures FOLDER\n");
        return 2;
    }
    try {
        const QString dir = QString::fromLocal8Bit(argv[1]);
        brindle::RenderLabelPictures(dir);
        brindle::RenderPanelPictures(dir);
        brindle::RenderModelEditorPictures(dir);
        brindle::RenderDesignerPictures(dir);
        brindle::RenderRoundButtonPicture(dir + QStringLiteral("/round_button.png"));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "render_pictures: %s\n", error.what());
        return 1;
    }
    return 0;
}
