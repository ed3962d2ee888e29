#include "Surface.h"

#include <QPaintEvent>
#include <QPainter>

namespace qz {

Surface::Surface(QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("surface"));
}

void Surface::print(const QString& line) {
    m_lines.append(line);
    update();
}

void Surface::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics = fontMetrics();
    int baseline = metrics.ascent();
    for (const QString& line : m_lines) {
        if (baseline - metrics.ascent() > event->rect().bottom())
            break;
        painter.drawText(0, baseline, line);
        baseline += metrics.lineSpacing();
    }
}

} // namespace qz
