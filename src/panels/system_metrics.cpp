#include <brindle/panels/system_metrics.h>

#include <QApplication>

namespace brindle {

TVxSystemMetrics::TVxSystemMetrics() : FMenuFont(QApplication::font("QMenu")) {}

const TVxSystemMetrics& TVxSystemMetrics::Instance()
{
    static const TVxSystemMetrics metrics;
    return metrics;
}

} // namespace brindle
