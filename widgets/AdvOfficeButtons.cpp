#include "AdvOfficeButtons.h"

#include <QMouseEvent>
#include <QPainter>

TCustomAdvOfficeCheckBox::TCustomAdvOfficeCheckBox(QWidget *parent) : QWidget(parent)
{
    resize(120, 20);
    setFocusPolicy(Qt::ClickFocus);
}

void TCustomAdvOfficeCheckBox::SetCaption(const QString &v)
{
    if (m_caption == v)
        return;
    m_caption = v;
    update();
}

void TCustomAdvOfficeCheckBox::SetChecked(bool v)
{
    if (v == GetChecked())
        return;
    m_state = v ? cbChecked : cbUnchecked;
    update();
}

void TCustomAdvOfficeCheckBox::SetState(TCheckBoxState v)
{
    if (m_state == v)
        return;
    m_state = v;
    update();
}

void TCustomAdvOfficeCheckBox::SetAlignment(TLeftRight v)
{
    if (m_alignment == v)
        return;
    m_alignment = v;
    update();
}

void TCustomAdvOfficeCheckBox::Toggle()
{
    SetChecked(!GetChecked());
}

void TCustomAdvOfficeCheckBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(Qt::black);
    p.drawRect(0, 6, 11, 11);
    if (GetChecked())
        p.fillRect(3, 9, 6, 6, Qt::black);
    p.setPen(isEnabled() ? palette().color(QPalette::WindowText) : QColor(128, 128, 128));
    p.drawText(QRect(16, 4, width() - 16, height() - 4), Qt::AlignLeft | Qt::AlignTop, m_caption);
}

void TCustomAdvOfficeCheckBox::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton) {
        m_gotClick = true;
        setFocus(Qt::MouseFocusReason);
    }
}

void TCustomAdvOfficeCheckBox::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint pt = e->position().toPoint();
    const bool inside = pt.x() >= 0 && pt.x() <= width() && pt.y() >= 0 && pt.y() <= height();
    if (inside && m_gotClick) {
        Toggle();
        emit OnClick(this);
    }
    m_gotClick = false;
}
