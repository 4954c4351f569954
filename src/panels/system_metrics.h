#pragma once
// TVxSystemMetrics: the system's menu font, read once per process.

#include <brindle/brindle_widgets_export.h>

#include <QFont>

namespace brindle {

class BRINDLE_WIDGETS_EXPORT TVxSystemMetrics {
public:
    const QFont& MenuFont() const { return FMenuFont; }
    // The process's one instance, made when first asked for (a display
    // must exist by then).
    static const TVxSystemMetrics& Instance();

private:
    TVxSystemMetrics();
    QFont FMenuFont;
};

} // namespace brindle
