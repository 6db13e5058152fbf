#include "AdvEdit.h"

#include <QKeyEvent>

TEditLookup::TEditLookup(QObject *parent) : QObject(parent), m_font(new TFont(this)) {}

TCustomAdvEdit::TCustomAdvEdit(QWidget *parent)
    : QLineEdit(parent), m_labelFont(new TFont(this)), m_lookup(new TEditLookup(this))
{
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (!ComponentLoading())
            emit OnChange(this);
    });
}

QString TCustomAdvEdit::Text() const { return text(); }

void TCustomAdvEdit::SetText(const QString &value)
{
    if (value == text())
        return;
    setText(value);
}

void TCustomAdvEdit::Clear() { SetText(QString()); }

void TCustomAdvEdit::SelectAll() { selectAll(); }

void TCustomAdvEdit::SetColor(TColor c)
{
    m_color = c;
    QPalette pal = palette();
    pal.setColor(QPalette::Base, ColorToQColor(c));
    setPalette(pal);
}

void TCustomAdvEdit::SetImeMode(TImeMode m)
{
    m_imeMode = m;
    setAttribute(Qt::WA_InputMethodEnabled, m != imDisable);
}

void TCustomAdvEdit::keyPressEvent(QKeyEvent *e)
{
    // Minimal mapping; the full key protocol lives here once the edit is complete.
    quint16 key = quint16(e->key() >= Qt::Key_A && e->key() <= Qt::Key_Z ? e->key() : 0);
    TShiftState shift;
    if (e->modifiers() & Qt::ShiftModifier) shift |= ssShift;
    if (e->modifiers() & Qt::ControlModifier) shift |= ssCtrl;
    if (e->modifiers() & Qt::AltModifier) shift |= ssAlt;
    if (key)
        emit OnKeyDown(this, key, shift);
    QChar ch;
    if ((shift & ssCtrl) && e->key() >= Qt::Key_A && e->key() <= Qt::Key_Z)
        ch = QChar(e->key() - Qt::Key_A + 1);
    else if (e->key() == Qt::Key_Backspace)
        ch = QChar(8);
    else if (!e->text().isEmpty())
        ch = e->text().at(0);
    if (ch.isNull()) {
        QLineEdit::keyPressEvent(e);
        return;
    }
    emit OnKeyPress(this, ch);
    if (ch.isNull())
        return;
    if (ch.unicode() == 8)
        backspace();
    else if (ch.unicode() >= 32)
        insert(QString(ch));
}
