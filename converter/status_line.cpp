#include "converter/status_line.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTextLine>

namespace converter {

StatusLine::StatusLine(QWidget* parent) : QWidget(parent) {
    setForegroundRole(QPalette::WindowText);
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WordWrap);
    m_layout.setTextOption(option);
    m_layout.setCacheEnabled(true);
}

void StatusLine::layOut() {
    const QRect area = contentsRect();
    m_layout.setText(m_text);
    m_layout.setFont(font());
    const qreal leading = fontMetrics().leading();
    qreal y = 0;
    QRectF ink;
    m_layout.beginLayout();
    for (QTextLine line = m_layout.createLine(); line.isValid(); line = m_layout.createLine()) {
        line.setLineWidth(area.width());
        line.setPosition(QPointF(0, y));
        y += line.height() + leading;
        ink |= line.naturalTextRect();
    }
    m_layout.endLayout();
    // Antialiased edges and overhanging glyphs can reach a pixel or two past the metrics.
    m_textRect =
        ink.isEmpty()
            ? QRect()
            : ink.toAlignedRect().translated(area.topLeft()).adjusted(-2, -2, 2, 2) & rect();
}

void StatusLine::setText(const QString& text) {
    if (text == m_text) {
        return;
    }
    m_stale |= m_textRect;
    m_text = text;
    layOut();
    setAccessibleName(m_text);
    update(m_stale | m_textRect);
}

void StatusLine::repaintNow() {
    const QRect area = m_stale | m_textRect;
    if (!area.isEmpty()) {
        repaint(area);
    }
}

void StatusLine::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Normal : QPalette::Disabled, foregroundRole()));
    m_layout.draw(&painter, contentsRect().topLeft());
    if (event->rect().contains(m_stale)) {
        m_stale = QRect();
    }
}

void StatusLine::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        layOut();
        update();
    }
    QWidget::changeEvent(event);
}

void StatusLine::resizeEvent(QResizeEvent* event) {
    layOut();
    QWidget::resizeEvent(event);
}

}  // namespace converter
