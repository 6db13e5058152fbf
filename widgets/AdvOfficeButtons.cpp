#include "AdvOfficeButtons.h"

#include "Accelerator.h"
#include "ImageFile.h"
#include "Keyboard.h"

#include <QAccessible>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

// Press and release repaint only this strip: it holds the glyph at any usual density.
constexpr int kPressStrip = 16;
// A change of State alone repaints the glyph strip.
constexpr int kStateStrip = 20;
// Caption left = glyph side + this gap; caption top is fixed.
constexpr int kTextGap = 4;
constexpr int kTextTop = 4;
constexpr int kGlyphBase = 12;   // glyph side at 96 pixels per inch
constexpr int kDenseImageSide = 26; // the glyph images drawn for dense screens

const char *StateName(TCustomAdvOfficeCheckBox::TCheckBoxState s)
{
    switch (s) {
    case TCustomAdvOfficeCheckBox::cbChecked: return "checked";
    case TCustomAdvOfficeCheckBox::cbGrayed: return "grayed";
    default: return "unchecked";
    }
}

const char *LookName(TCustomAdvOfficeCheckBox::TGlyphLook l)
{
    switch (l) {
    case TCustomAdvOfficeCheckBox::glHot: return "hot";
    case TCustomAdvOfficeCheckBox::glDown: return "down";
    default: return "normal";
    }
}

TCustomAdvOfficeCheckBox::TMouseButton ButtonOf(Qt::MouseButton b)
{
    if (b == Qt::RightButton) return TCustomAdvOfficeCheckBox::mbRight;
    if (b == Qt::MiddleButton) return TCustomAdvOfficeCheckBox::mbMiddle;
    return TCustomAdvOfficeCheckBox::mbLeft;
}

// The design platform counts the pixel just past the right and bottom edges as inside.
bool InsideForClick(const QPoint &p, const QSize &s)
{
    return p.x() >= 0 && p.x() <= s.width() && p.y() >= 0 && p.y() <= s.height();
}

} // namespace

TCustomAdvOfficeCheckBox::TCustomAdvOfficeCheckBox(QWidget *parent)
    : QWidget(parent), m_font(new TFont(this))
{
    resize(120, 20);
    setFocusPolicy(Qt::ClickFocus); // TabStop false: focus only by a click
    connect(m_font, &TFont::Changed, this, [this] {
        m_parentFont = false;
        m_font->ApplyTo(this);
        Remeasure();
        update();
    });
}

// --- properties -------------------------------------------------------------------------

void TCustomAdvOfficeCheckBox::SetCaption(const QString &v)
{
    if (m_caption == v)
        return;
    m_caption = v;
    setWindowTitle(v);
    WatchWindowForAccelerator();
    Remeasure();
    update();
    ReportAccessibility(QAccessibleEvent(this, QAccessible::NameChanged));
}

void TCustomAdvOfficeCheckBox::SetChecked(bool v)
{
    if (v == GetChecked())
        return;
    const TCheckBoxState old = FState;
    FState = v ? cbChecked : cbUnchecked;
    update();
    ReportCheckState(old);
}

void TCustomAdvOfficeCheckBox::SetState(TCheckBoxState v)
{
    if (FState == v)
        return;
    const TCheckBoxState old = FState;
    FState = v;
    if (parentWidget())
        UpdateStrip(kStateStrip);
    ReportCheckState(old);
}

void TCustomAdvOfficeCheckBox::ReportCheckState(TCheckBoxState old)
{
    QAccessible::State changed;
    changed.checked = (old == cbChecked) != (FState == cbChecked);
    changed.checkStateMixed = (old == cbGrayed) != (FState == cbGrayed);
    ReportAccessibility(QAccessibleStateChangeEvent(this, changed));
}

void TCustomAdvOfficeCheckBox::SetAlignment(TLeftRight v)
{
    if (m_alignment == v)
        return;
    m_alignment = v;
    update();
}

void TCustomAdvOfficeCheckBox::SetButtonVertAlign(TTextLayout v)
{
    if (m_buttonVertAlign == v)
        return;
    m_buttonVertAlign = v;
    update();
}

void TCustomAdvOfficeCheckBox::SetShowFocus(bool v)
{
    if (m_showFocus == v)
        return;
    m_showFocus = v;
    update();
}

void TCustomAdvOfficeCheckBox::SetDisabledFontColor(TColor v)
{
    if (m_disabledFontColor == v)
        return;
    m_disabledFontColor = v;
    if (!isEnabled())
        update();
}

void TCustomAdvOfficeCheckBox::SetParentFont(bool v)
{
    if (m_parentFont == v)
        return;
    m_parentFont = v;
    if (v)
        setFont(QFont()); // inherit the parent's font again
    Remeasure();
    update();
}

void TCustomAdvOfficeCheckBox::SetTabStop(bool v)
{
    setFocusPolicy(v ? Qt::StrongFocus : Qt::ClickFocus);
}

void TCustomAdvOfficeCheckBox::SetAutoSize(bool v)
{
    if (m_autoSize == v)
        return;
    m_autoSize = v;
    Remeasure();
}

void TCustomAdvOfficeCheckBox::Toggle()
{
    if (m_readOnly)
        return;
    if (m_allowGrayed) {
        switch (FState) {
        case cbUnchecked: SetState(cbGrayed); break;
        case cbGrayed: SetState(cbChecked); update(); break;
        case cbChecked: SetState(cbUnchecked); update(); break;
        }
        return;
    }
    SetChecked(!GetChecked());
}

void TCustomAdvOfficeCheckBox::ForceDPIScale(float scale)
{
    m_dpiForced = true;
    FDPIScale = scale;
    Remeasure();
    update();
}

// --- geometry ---------------------------------------------------------------------------

int TCustomAdvOfficeCheckBox::GlyphSide() const
{
    return qRound(FDPIScale * kGlyphBase);
}

int TCustomAdvOfficeCheckBox::TextHeight() const
{
    return QFontMetrics(font()).height(); // the height of "gh": the full line height
}

QRect TCustomAdvOfficeCheckBox::GlyphRect() const
{
    const int p = GlyphSide();
    const bool right = m_alignment == taRightJustify || layoutDirection() == Qt::RightToLeft;
    const int x = right ? width() - p - 1 : 0;
    int y = 0;
    switch (m_buttonVertAlign) {
    case tlTop: y = (TextHeight() - p) / 2 + kTextTop; break;
    case tlCenter: y = height() / 2 - p / 2; break;
    case tlBottom: y = height() - p; break;
    }
    return QRect(x, y, p, p);
}

QRect TCustomAdvOfficeCheckBox::TextRect() const
{
    const int indent = GlyphSide() + kTextGap;
    const bool right = m_alignment == taRightJustify || layoutDirection() == Qt::RightToLeft;
    if (right)
        return QRect(QPoint(0, kTextTop), QPoint(width() - indent - 1, height() - 1));
    return QRect(QPoint(indent, kTextTop), QPoint(width() - 1, height() - 1));
}

QString TCustomAdvOfficeCheckBox::DisplayCaption() const
{
    return m_caption;
}

QStringList TCustomAdvOfficeCheckBox::CaptionLines(const QString &text, const QFontMetrics &fm, int width)
{
    // Leading and trailing blanks are dropped; lines break only at blanks, and a word
    // that does not fit starts a new line unless it is the first on its line.
    int b = 0, e = text.size();
    while (b < e && text.at(b) == QLatin1Char(' ')) ++b;
    while (e > b && text.at(e - 1) == QLatin1Char(' ')) --e;
    const QString t = text.mid(b, e - b);
    QStringList lines;
    if (t.isEmpty())
        return lines;
    QString line;
    int pos = 0;
    while (pos < t.size()) {
        int next = t.indexOf(QLatin1Char(' '), pos);
        if (next < 0) next = t.size();
        const QString word = t.mid(pos, next - pos);
        const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && fm.horizontalAdvance(candidate) > width) {
            lines << line;
            line = word;
        } else {
            line = candidate;
        }
        pos = next + 1;
    }
    lines << line;
    return lines;
}

TCustomAdvOfficeCheckBox::CaptionLayout TCustomAdvOfficeCheckBox::LayoutCaption(const QFontMetrics &fm) const
{
    CaptionLayout l;
    const QRect area = TextRect();
    const int th = fm.height();
    const QStringList all = CaptionLines(DisplayCaption(), fm, area.width());
    for (int i = 0; i < all.size(); ++i) {
        // The first line is always drawn; later ones only when they end above the bottom.
        if (i > 0 && area.top() + (i + 1) * th >= area.top() + area.height())
            break;
        l.lines << all.at(i);
        l.width = qMax(l.width, fm.horizontalAdvance(all.at(i)));
        l.height += th;
    }
    return l;
}

int TCustomAdvOfficeCheckBox::CtrlWidth() const
{
    return LayoutCaption(QFontMetrics(font())).width + GlyphSide() + kTextGap;
}

void TCustomAdvOfficeCheckBox::Remeasure()
{
    if (m_autoSize && !ComponentLoading())
        resize(CtrlWidth(), height());
}

void TCustomAdvOfficeCheckBox::UpdateStrip(int minWidth)
{
    // At least the glyph's side: above 1.25 scale the glyph outgrows the fixed strips.
    const int w = std::max(minWidth, GlyphSide() + 1);
    const bool right = m_alignment == taRightJustify || layoutDirection() == Qt::RightToLeft;
    update(right ? QRect(width() - w, 0, w, height()) : QRect(0, 0, w, height()));
}

// --- glyphs -----------------------------------------------------------------------------

QImage TCustomAdvOfficeCheckBox::GlyphImage(TCheckBoxState state, TGlyphLook look, int scale)
{
    return ReadImageFile(QStringLiteral(":/glyphs/%1_%2%3.bmp")
                             .arg(QLatin1String(StateName(state)), QLatin1String(LookName(look)),
                                  scale == 2 ? QStringLiteral("@2x") : QString()),
                         "bmp");
}

QImage TCustomAdvOfficeCheckBox::ScaledGlyph(const QImage &glyph, int side)
{
    if (glyph.isNull() || side <= 0)
        return QImage();
    // Mask the key colour out first, so scaling can never blend it into the edge.
    QImage img = glyph.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = img.pixel(0, img.height() - 1) | 0xFF000000u;
    for (int y = 0; y < img.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((line[x] | 0xFF000000u) == key)
                line[x] = 0;
    }
    if (side == img.width())
        return img;
    return img.scaled(side, side, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

QImage TCustomAdvOfficeCheckBox::GlyphForScreen(TCheckBoxState state, TGlyphLook look, int side, qreal dpr)
{
    if (dpr <= 1.0)
        return ScaledGlyph(GlyphImage(state, look), side);
    const int deviceSide = qRound(side * dpr);
    QImage img = ScaledGlyph(GlyphImage(state, look, 2), kDenseImageSide);
    if (img.isNull() || deviceSide <= 0)
        return QImage();
    // Smooth, not nearest: 26 pixels rarely map onto whole device pixels, and dropped or
    // doubled rows would make the tick's strokes uneven.
    if (deviceSide != img.width())
        img = img.scaled(deviceSide, deviceSide, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    img.setDevicePixelRatio(dpr);
    return img;
}

TGlyphCache TCustomAdvOfficeCheckBox::s_glyphs;

TGlyphCache &TCustomAdvOfficeCheckBox::Glyphs()
{
    return s_glyphs;
}

const QImage &TGlyphCache::Get(TCustomAdvOfficeCheckBox::TCheckBoxState state,
                               TCustomAdvOfficeCheckBox::TGlyphLook look, int side, qreal dpr)
{
    const Key key{int(state), int(look), side, dpr};
    auto it = m_images.find(key);
    if (it == m_images.end())
        it = m_images.insert(key, TCustomAdvOfficeCheckBox::GlyphForScreen(state, look, side, dpr));
    return *it;
}

// --- painting ---------------------------------------------------------------------------

void TCustomAdvOfficeCheckBox::paintEvent(QPaintEvent *)
{
    // No background of our own: the parent's image is already under the box.
    QPainter p(this);
    p.setFont(font());

    // A held Space sets Down too, but keyboard toggles never show the pressed glyph:
    // only a mouse press does.
    const TGlyphLook look = (FDown && !m_spaceDown) ? glDown : (FHot ? glHot : glNormal);
    const int side = GlyphSide();
    p.drawImage(GlyphRect().topLeft(), Glyphs().Get(FState, look, side, devicePixelRatioF()));

    const QFontMetrics fm(font());
    const CaptionLayout l = LayoutCaption(fm);
    const QRect area = TextRect();
    const QColor textColor = isEnabled() ? palette().color(QPalette::WindowText) : ColorToQColor(m_disabledFontColor);
    p.setPen(textColor);
    for (int i = 0; i < l.lines.size(); ++i)
        p.drawText(QRect(area.left(), area.top() + i * fm.height(), area.width() + side, fm.height()),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, l.lines.at(i));

    if (FFocused && m_showFocus) {
        const QPoint tl(area.left(), area.top());
        const QPoint br(area.left() + l.width + 3, area.top() + l.height);
        p.setPen(palette().color(QPalette::WindowText));
        for (const QLine &edge : FocusRectLines(tl, br))
            DrawAlternateLine(p, edge.p1(), edge.p2());
    }
}

QList<QLine> TCustomAdvOfficeCheckBox::FocusRectLines(const QPoint &tl, const QPoint &br)
{
    return {QLine(tl, QPoint(br.x(), tl.y())), QLine(QPoint(br.x(), tl.y()), br),
            QLine(br, QPoint(tl.x(), br.y())), QLine(QPoint(tl.x(), br.y()), tl)};
}

void TCustomAdvOfficeCheckBox::DrawAlternateLine(QPainter &p, const QPoint &from, const QPoint &to)
{
    // As the platform draws a line with an alternate-pixel pen: its own dot phase from the
    // start point, the end point left out (the next line starts there).
    const QPoint step((to.x() > from.x()) - (to.x() < from.x()), (to.y() > from.y()) - (to.y() < from.y()));
    int i = 0;
    for (QPoint pt = from; pt != to; pt += step, ++i)
        if ((i & 1) == 0)
            p.drawPoint(pt);
}

// --- input ------------------------------------------------------------------------------

void TCustomAdvOfficeCheckBox::Click()
{
    emit OnClick(this);
}

void TCustomAdvOfficeCheckBox::UserClick()
{
    Toggle();
    Click();
}

void TCustomAdvOfficeCheckBox::HandlePress(QMouseEvent *e)
{
    const QPoint pt = e->position().toPoint();
    emit OnMouseDown(this, ButtonOf(e->button()), ShiftStateOf(e->modifiers()), pt.x(), pt.y());
    if (e->button() != Qt::LeftButton)
        return;
    FGotClick = true;
    if (!hasFocus() && focusPolicy() != Qt::NoFocus)
        setFocus(Qt::MouseFocusReason);
    FDown = true;
    UpdateStrip(kPressStrip);
}

void TCustomAdvOfficeCheckBox::mousePressEvent(QMouseEvent *e)
{
    HandlePress(e);
}

void TCustomAdvOfficeCheckBox::mouseDoubleClickEvent(QMouseEvent *e)
{
    // The second press of a double click is an ordinary press: a double click toggles twice.
    HandlePress(e);
}

void TCustomAdvOfficeCheckBox::mouseMoveEvent(QMouseEvent *e)
{
    if (FGotClick)
        FDown = InsideForClick(e->position().toPoint(), size()); // shown with the next paint
}

void TCustomAdvOfficeCheckBox::mouseReleaseEvent(QMouseEvent *e)
{
    const QPoint pt = e->position().toPoint();
    if (e->button() == Qt::LeftButton) {
        FDown = false;
        // The press asked for the focus; on X11 the server may confirm it only after the
        // release, so the window's pending focus counts as well.
        const bool focused = FFocused || (window() && window()->focusWidget() == this);
        if (InsideForClick(pt, size()) && focused && FGotClick) {
            Toggle();
            Click();
        }
    }
    emit OnMouseUp(this, ButtonOf(e->button()), ShiftStateOf(e->modifiers()), pt.x(), pt.y());
    if (e->button() == Qt::LeftButton) {
        if (isVisible())
            UpdateStrip(kPressStrip);
        FGotClick = false;
    }
}

void TCustomAdvOfficeCheckBox::keyPressEvent(QKeyEvent *e)
{
    quint16 key = VirtualKeyOf(e);
    if (!e->isAutoRepeat())
        emit OnKeyDown(this, key, ShiftStateOf(e->modifiers()));
    if (e->key() == Qt::Key_Space) {
        // The toggle waits for the release; the pressed look is not shown for keys.
        if (!e->isAutoRepeat()) {
            FDown = true;
            m_spaceDown = true;
        }
        return;
    }
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && m_returnIsTab) {
        focusNextChild();
        return;
    }
    QWidget::keyPressEvent(e);
}

void TCustomAdvOfficeCheckBox::keyReleaseEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Space && !e->isAutoRepeat() && m_spaceDown) {
        m_spaceDown = false;
        FDown = false;
        Toggle();
        Click();
        return;
    }
    QWidget::keyReleaseEvent(e);
}

void TCustomAdvOfficeCheckBox::enterEvent(QEnterEvent *e)
{
    // Qt reports the pointer to disabled widgets too; a disabled box takes no mouse input.
    if (!isEnabled()) {
        QWidget::enterEvent(e);
        return;
    }
    FHot = true;
    update(GlyphRect());
    QWidget::enterEvent(e);
}

void TCustomAdvOfficeCheckBox::leaveEvent(QEvent *e)
{
    FHot = false;
    update(GlyphRect());
    QWidget::leaveEvent(e);
}

void TCustomAdvOfficeCheckBox::focusInEvent(QFocusEvent *e)
{
    FFocused = true;
    update();
    QWidget::focusInEvent(e);
}

void TCustomAdvOfficeCheckBox::focusOutEvent(QFocusEvent *e)
{
    FFocused = false;
    m_spaceDown = false;
    FDown = false;
    update();
    QWidget::focusOutEvent(e);
}

void TCustomAdvOfficeCheckBox::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::EnabledChange) {
        if (!isEnabled()) {
            FHot = false;
            FDown = false;
            FGotClick = false;
        } else {
            FHot = underMouse(); // the pointer may have come while the box was disabled
        }
        update();
    } else if (e->type() == QEvent::FontChange) {
        Remeasure();
        update();
    }
    QWidget::changeEvent(e);
}

bool TCustomAdvOfficeCheckBox::event(QEvent *e)
{
    if (e->type() == QEvent::Show && !m_dpiForced) {
        const float scale = float(logicalDpiY()) / 96.0f;
        if (scale > 0 && scale != FDPIScale) {
            FDPIScale = scale;
            Remeasure();
        }
    } else if (e->type() == QEvent::ParentChange) {
        WatchWindowForAccelerator();
    }
    return QWidget::event(e);
}

// --- accelerator ------------------------------------------------------------------------

QChar TCustomAdvOfficeCheckBox::Accelerator() const
{
    return AcceleratorKey(m_caption);
}

void TCustomAdvOfficeCheckBox::WatchWindowForAccelerator()
{
    QWidget *w = window();
    if (w == this)
        w = nullptr;
    if (m_acceleratorWindow && m_acceleratorWindow != w)
        m_acceleratorWindow->removeEventFilter(this);
    m_acceleratorWindow = nullptr;
    if (w && !Accelerator().isNull()) {
        w->installEventFilter(this);
        m_acceleratorWindow = w;
    }
}

bool TCustomAdvOfficeCheckBox::eventFilter(QObject *watched, QEvent *e)
{
    // Alt with the caption's accelerator, typed anywhere in the window.
    if (watched == m_acceleratorWindow && e->type() == QEvent::ShortcutOverride && isEnabled() && isVisible()) {
        auto *ke = static_cast<QKeyEvent *>(e);
        const QChar acc = Accelerator();
        if ((ke->modifiers() & Qt::AltModifier) && !acc.isNull() && !ke->text().isEmpty()
            && ke->text().at(0).toUpper() == acc && focusPolicy() != Qt::NoFocus) {
            Toggle();
            Click();
            if (focusPolicy() & Qt::TabFocus)
                setFocus(Qt::ShortcutFocusReason);
            e->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}
