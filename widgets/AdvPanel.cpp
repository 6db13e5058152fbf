#include "AdvPanel.h"

#include <QEvent>
#include <QPainter>

TPanelCaption::TPanelCaption(QObject *parent) : QObject(parent), m_font(new TFont(this)) {}
TPanelStatusBar::TPanelStatusBar(QObject *parent) : QObject(parent), m_font(new TFont(this)) {}

TCustomAdvPanel::TCustomAdvPanel(QWidget *parent)
    : QWidget(parent), m_caption(new TPanelCaption(this)), m_statusBar(new TPanelStatusBar(this))
{
    resize(300, 200);
    if (parent)
        parent->installEventFilter(this);
}

void TCustomAdvPanel::SetColor(TColor v) { if (m_color != v) { m_color = v; update(); } }
void TCustomAdvPanel::SetText(const QString &v) { if (m_text != v) { m_text = v; update(); } }

void TCustomAdvPanel::SetAlign(TAlign v)
{
    if (m_align == v)
        return;
    m_align = v;
    Dock();
}

void TCustomAdvPanel::Dock()
{
    if (m_align == alBottom && parentWidget())
        setGeometry(0, parentWidget()->height() - height(), parentWidget()->width(), height());
}

bool TCustomAdvPanel::eventFilter(QObject *o, QEvent *e)
{
    if (o == parentWidget() && e->type() == QEvent::Resize)
        Dock();
    return QWidget::eventFilter(o, e);
}

void TCustomAdvPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), ColorToQColor(m_color));
}
