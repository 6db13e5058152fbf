#include "AdvGlassButton.h"

#include "Accelerator.h"
#include "Graphics.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QTimer>
#include <cmath>

namespace {

// Alphas of the plate.
constexpr quint8 kOpaque = 255;
constexpr quint8 kBodyAlpha = 127;
constexpr quint8 kShineTopAlpha = 153;
constexpr quint8 kShineBottomAlpha = 51;
constexpr quint8 kGlowCentreAlpha = 173;
constexpr quint8 kGlowRimAlpha = 0;
constexpr qreal kPenWidth = 1.0;
constexpr TColor kGreyText = 8421504; // RGB 128, 128, 128: disabled caption and focus outline

// The glow ellipse grows the inner rectangle so its centre sits on the inner bottom edge.
constexpr float kGlowLeft = 0.35f, kGlowTop = 0.15f, kGlowWidth = 1.7f, kGlowHeight = 2.3f;

// The design's one-millisecond hover poll ran at its platform's shortest timer period;
// that period, with a coarse timer, keeps a hovered button from waking the CPU.
constexpr int kUnHotInterval = 16;
// A poll that keeps seeing the pointer inside without Qt tracking the hover gives up
// after about a second rather than ticking for as long as the pointer rests there.
constexpr int kUnHotMaxInsideTicks = 60;

// The caption's fallback family when the design's family is not installed.
const QString kFallbackFamily = QStringLiteral("Arial");

int RoundHalfEven(qreal v)
{
    return int(std::nearbyint(v)); // the default rounding mode rounds halves to even
}

} // namespace

QRectF GlowEllipse(int w, int h)
{
    // Single-precision like the drawing rectangles it stands for.
    float x = 1, y = 1, wd = float(w - 4), ht = float(h - 4);
    x -= kGlowLeft * wd;
    y -= kGlowTop * ht;
    wd *= kGlowWidth;
    ht *= kGlowHeight;
    return QRectF(x, y, wd, ht);
}

// ------------------------------------------------------------------------------------

TAdvCustomGlassButton::TAdvCustomGlassButton(QWidget *parent)
    : QWidget(parent), m_font(new TFont(this)), FUnHotTimer(new QTimer(this))
{
    resize(kDefaultWidth, kDefaultHeight);
    // The font starts as the parent's and becomes the button's own with the name
    // "Tahoma"; TFont's defaults carry the rest of the framework's default font.
    m_parentFont = true;
    connect(m_font, &TFont::Changed, this, [this] {
        m_parentFont = false;
        m_font->ApplyTo(this);
        update();
    });
    m_parentFont = false;
    m_font->ApplyTo(this);
    setFocusPolicy(Qt::StrongFocus);
    FUnHotTimer->setInterval(kUnHotInterval);
    FUnHotTimer->setTimerType(Qt::CoarseTimer);
    connect(FUnHotTimer, &QTimer::timeout, this, &TAdvCustomGlassButton::UnHotTimerTick);
}

TAdvCustomGlassButton::~TAdvCustomGlassButton() = default;

// ------------------------------------------------------------------------ setters

void TAdvCustomGlassButton::SetBackColor(TColor v)
{
    if (m_backColor == v)
        return;
    m_backColor = v;
    update();
}

void TAdvCustomGlassButton::SetOuterBorderColor(TColor v)
{
    if (m_outerBorderColor == v)
        return;
    m_outerBorderColor = v;
    update();
}

void TAdvCustomGlassButton::SetInnerBorderColor(TColor v)
{
    if (m_innerBorderColor == v)
        return;
    m_innerBorderColor = v;
    update();
}

void TAdvCustomGlassButton::SetShineColor(TColor v)
{
    if (m_shineColor == v)
        return;
    m_shineColor = v;
    update();
}

void TAdvCustomGlassButton::SetGlowColor(TColor v)
{
    if (m_glowColor == v)
        return;
    m_glowColor = v;
    update();
}

void TAdvCustomGlassButton::SetBackgroundColor(TColor v)
{
    if (m_backgroundColor == v)
        return;
    m_backgroundColor = v;
    update();
}

void TAdvCustomGlassButton::SetAntiAlias(TAntiAlias v)
{
    if (m_antiAlias == v)
        return;
    m_antiAlias = v;
    update();
}

void TAdvCustomGlassButton::SetLayout(TButtonLayout v)
{
    if (m_layout == v)
        return;
    m_layout = v;
    update();
}

void TAdvCustomGlassButton::SetShowCaption(bool v)
{
    if (m_showCaption == v)
        return;
    m_showCaption = v;
    update();
}

void TAdvCustomGlassButton::SetShowFocusRect(bool v)
{
    if (m_showFocusRect == v)
        return;
    m_showFocusRect = v;
    update();
}

void TAdvCustomGlassButton::SetStyle(TAdvToolButtonStyle v)
{
    if (m_style == v)
        return;
    m_style = v;
    NormaliseState();
    update();
}

void TAdvCustomGlassButton::SetCaption(const QString &v)
{
    if (m_caption == v)
        return;
    m_caption = v;
    UpdateMnemonic();
    update();
    ReportAccessibility(QAccessibleEvent(this, QAccessible::NameChanged));
}

void TAdvCustomGlassButton::SetParentFont(bool v)
{
    if (m_parentFont == v)
        return;
    m_parentFont = v;
    if (v) {
        // Inherit again: an empty font and palette resolve nothing of their own.
        setFont(QFont());
        setPalette(QPalette());
        m_font->AssignFromWidget(this);
    } else {
        m_font->ApplyTo(this);
    }
    update();
}

void TAdvCustomGlassButton::SetCornerRadius(int v)
{
    if (v < 0)
        return;
    const int before = m_cornerRadius;
    m_cornerRadius = v;
    if (!ComponentLoading())
        ClampCornerRadius(1.0);
    if (m_cornerRadius != before)
        update();
}

void TAdvCustomGlassButton::SetTabStop(bool v)
{
    if (m_tabStop == v)
        return;
    m_tabStop = v;
    setFocusPolicy(v ? Qt::StrongFocus : Qt::NoFocus);
}

void TAdvCustomGlassButton::SetPicture(const QImage &v)
{
    if (m_picture == v)
        return;
    m_picture = v;
    update();
}

void TAdvCustomGlassButton::SetPictureDown(const QImage &v)
{
    if (m_pictureDown == v)
        return;
    m_pictureDown = v;
    update();
}

void TAdvCustomGlassButton::SetPictureDisabled(const QImage &v)
{
    if (m_pictureDisabled == v)
        return;
    m_pictureDisabled = v;
    update();
}

void TAdvCustomGlassButton::SetDown(bool v)
{
    if (ComponentLoading()) {
        FInitialDown = v; // applied in Loaded
        return;
    }
    if (FDown == v)
        return;
    FDown = v;
    NormaliseState();
    update();
}

// ------------------------------------------------------------------- lifecycle

qreal TAdvCustomGlassButton::ScaleFactor() const
{
    // Qt scales whole windows to their screen (device pixel ratio), so widget pixels
    // are always the design's pixels: the form is "already scaled to its monitor".
    return 1.0;
}

void TAdvCustomGlassButton::ClampCornerRadius(qreal s)
{
    const int w = RoundHalfEven(width() / s), h = RoundHalfEven(height() / s);
    m_cornerRadius = qMin(m_cornerRadius, qMin(w, h) / 2);
}

void TAdvCustomGlassButton::Loaded()
{
    TComponent::Loaded();
    if (FDown != FInitialDown) {
        FDown = FInitialDown;
        NormaliseState();
        update();
    }
    ClampCornerRadius(ScaleFactor());
}

void TAdvCustomGlassButton::SetBounds(int left, int top, int width, int height)
{
    setGeometry(left, top, width, height);
    // A hidden widget gets its resize event only when shown: clamp now.
    if (!ComponentLoading())
        ClampCornerRadius(1.0);
}

void TAdvCustomGlassButton::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    if (!ComponentLoading())
        ClampCornerRadius(1.0);
}

void TAdvCustomGlassButton::Click()
{
    emit OnClick(this);
}

// --------------------------------------------------------------------- painting

// The state follows enabled, Down and Style; called wherever one of them or the state
// itself changes, so that paint only reads it.
void TAdvCustomGlassButton::NormaliseState()
{
    if (!isEnabled()) {
        FState = absDisabled;
        FDragging = false;
    } else if (FState == absDisabled) {
        FState = FDown && m_groupIndex > 0 ? absExclusive : absUp;
    }
    if (m_style == tasCheck && FDown)
        FState = absDown;
}

void TAdvCustomGlassButton::paintEvent(QPaintEvent *)
{
    // The parent's image is already under the button: Qt composites children over
    // their parent, so the plate is simply drawn over it.
    QPainter canvas(this);
    PaintButtonFace(&canvas);
}

TAdvCustomGlassButton::TCaptionFont TAdvCustomGlassButton::CaptionFont() const
{
    TCaptionFont f;
    if (m_parentFont) {
        const QFont q = font();
        f.Name = q.family();
        f.Points = q.pixelSize() > 0 ? q.pixelSize() * 72.0 / TFont::kPixelsPerInch : q.pointSizeF();
        f.Style = FontStyleOf(q) & kCaptionFontStyles;
        f.Color = palette().color(QPalette::WindowText);
    } else {
        f.Name = m_font->Name();
        f.Points = m_font->Size();
        f.Style = int(m_font->Style()) & kCaptionFontStyles;
        f.Color = ColorToQColor(m_font->Color());
    }
    return f;
}

void TAdvCustomGlassButton::PaintButtonFace(QPainter *canvas)
{
    QImage picture = m_picture;
    if (!isEnabled() && !m_pictureDisabled.isNull())
        picture = m_pictureDisabled;
    else if ((FMouseDownInControl && FMouseInControl) || FDown) {
        if (!m_pictureDown.isNull())
            picture = m_pictureDown;
    }

    const int r = RoundHalfEven(m_cornerRadius * ScaleFactor());
    {
        TGPGraphics g(canvas);
        g.SetSmoothingMode(SmoothingModeAntiAlias);
        const TGlassLook look{m_outerBorderColor, m_innerBorderColor, m_backColor, m_backgroundColor, m_shineColor,
                              m_glowColor,
                              FMouseDownInControl || FDown || FState == absDown || FState == absExclusive};
        PaintGlass(g, width(), height(), r, look);
    }
    TCaptionLook caption;
    caption.Text = m_showCaption ? m_caption : QString();
    caption.Font = CaptionFont();
    caption.Enabled = isEnabled();
    caption.Focus = hasFocus() && m_showFocusRect;
    caption.Radius = r;
    caption.Layout = m_layout;
    caption.AntiAlias = m_antiAlias;
    caption.Picture = picture;
    PaintPictureAndCaption(canvas, rect(), caption);
}

void TAdvCustomGlassButton::PaintGlass(TGPGraphics &g, int w, int h, int r, const TGlassLook &look)
{
    g.DrawPath(TGPPen(DrawingColor(kOpaque, look.OuterBorderColor), kPenWidth), RoundedOutline(QRectF(0, 0, w - 1, h - 1), r));

    const TGPPath inner = RoundedOutline(QRectF(1, 1, w - 3, h - 3), r);
    if (look.BackgroundColor != clNone)
        g.FillPath(TGPBrush::Solid(LiteralDrawingColor(kOpaque, look.BackgroundColor)), inner);
    g.FillPath(TGPBrush::Solid(DrawingColor(kBodyAlpha, look.BackColor)), inner);

    if (look.Glow) {
        g.SetClip(inner, CombineModeReplace);
        TGPPath glow;
        const QRectF e = GlowEllipse(w, h);
        glow.AddEllipse(e);
        g.FillPath(TGPBrush::EllipsePathGradient(e, e.center(), LiteralDrawingColor(kGlowCentreAlpha, look.GlowColor),
                                                 LiteralDrawingColor(kGlowRimAlpha, look.GlowColor)),
                   glow);
        g.ResetClip();
    }

    if (w - 3 > 0 && (h - 3) / 2 > 0) {
        const int sh = (h - 3) / 2 + 1;
        const TGPBrush shine = TGPBrush::LinearGradient(QRectF(1, 1, w - 4, sh),
                                                        LiteralDrawingColor(kShineTopAlpha, look.ShineColor),
                                                        LiteralDrawingColor(kShineBottomAlpha, look.ShineColor),
                                                        LinearGradientModeVertical, false, WrapModeTile);
        g.FillPath(shine, RoundedOutline(QRectF(1, 1, w - 3, sh), r, CornersTop));
    }

    g.DrawPath(TGPPen(DrawingColor(kOpaque, look.InnerBorderColor), kPenWidth), inner);
}

void TAdvCustomGlassButton::PaintPictureAndCaption(QPainter *canvas, const QRect &client, const TCaptionLook &look)
{
    const int w = client.width(), h = client.height();
    TGPGraphics g(canvas);
    g.SetSmoothingMode(SmoothingModeAntiAlias);

    if (look.Focus)
        g.DrawPath(TGPPen(DrawingColor(kOpaque, kGreyText), kPenWidth),
                   RoundedOutline(QRectF(4, 4, w - 8, h - 8), look.Radius - 2));

    QString text = look.Text;
    if (text.contains(QLatin1String("\\n"))) {
        text.replace(QLatin1String("\\n"), QLatin1String("\n\r"));
        text.replace(QLatin1String("\\N"), QLatin1String("\n\r"));
    }

    // Only a picture beside the left edge is laid out here; the other picture places
    // belong to features this program does not use.
    int p = 0;
    if (!look.Picture.isNull()) {
        g.DrawImage(look.Picture, 2, (h - look.Picture.height()) / 2);
        p = look.Picture.width() + (text.isEmpty() ? 0 : 2);
    }
    if (!text.isEmpty())
        PaintCaption(canvas, g, QRect(2 + p, 0, w - 2 - p, h), text, look);
}

void TAdvCustomGlassButton::PaintCaption(QPainter *canvas, TGPGraphics &g, const QRect &area, const QString &text,
                                         const TCaptionLook &look)
{
    const TCaptionFont &font = look.Font;
    const TGPFont gpFont(GPFontFamilyOr(font.Name, kFallbackFamily), font.Points, font.Style);
    if (look.AntiAlias == aaNone) {
        // Plain text output: the canvas font and colour (also when disabled), aliased,
        // word-wrapped and centred.
        canvas->save();
        QFont f = gpFont.Font();
        f.setStyleStrategy(QFont::NoAntialias);
        canvas->setFont(f);
        canvas->setPen(font.Color);
        canvas->drawText(area, Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic, text);
        canvas->restore();
        return;
    }
    TGPStringFormat format;
    format.Alignment = look.Layout == blGlyphLeftAdjusted    ? StringAlignmentNear
                       : look.Layout == blGlyphRightAdjusted ? StringAlignmentFar
                                                             : StringAlignmentCenter;
    format.LineAlignment = look.Layout == blGlyphTopAdjusted      ? StringAlignmentNear
                           : look.Layout == blGlyphBottomAdjusted ? StringAlignmentFar
                                                                  : StringAlignmentCenter;
    format.HotkeyPrefix = HotkeyPrefixShow;
    g.SetTextRenderingHint(look.AntiAlias == aaClearType ? TextRenderingHintClearTypeGridFit : TextRenderingHintAntiAlias);
    const QColor color = look.Enabled ? QColor(font.Color.red(), font.Color.green(), font.Color.blue(), kOpaque)
                                      : DrawingColor(kOpaque, kGreyText);
    g.DrawString(text, gpFont, QRectF(area), format, TGPBrush::Solid(color));
}

// ------------------------------------------------------------------------ input

void TAdvCustomGlassButton::mousePressEvent(QMouseEvent *e)
{
    QWidget::mousePressEvent(e);
    if (e->button() != Qt::LeftButton || !isEnabled())
        return;
    FMouseDownInControl = true;
    if (!FDown) {
        FState = absDown;
        NormaliseState();
        update();
    }
    if (m_tabStop && focusPolicy() != Qt::NoFocus && isVisible())
        setFocus(Qt::MouseFocusReason);
    FDragging = true;
}

void TAdvCustomGlassButton::mouseMoveEvent(QMouseEvent *e)
{
    QWidget::mouseMoveEvent(e);
    if (FDragging) {
        const bool inside = rect().contains(e->position().toPoint());
        const TAdvButtonState next = FDown ? absExclusive : inside ? absDown : absUp;
        if (next != FState) {
            FState = next;
            NormaliseState();
            update();
        }
    } else if (!FMouseInControl) {
        ReevaluateHover(e->position());
    }
}

void TAdvCustomGlassButton::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(e);
        return;
    }
    FMouseDownInControl = false;
    update();
    const bool tracked = FDragging;
    if (tracked) {
        FDragging = false;
        FState = absUp;
        NormaliseState();
        ReevaluateHover(e->position());
    }
    // A click needs the release inside: 0 <= x < W and 0 <= y < H.
    const QPointF pos = e->position();
    if (tracked && pos.x() >= 0 && pos.x() < width() && pos.y() >= 0 && pos.y() < height())
        Click();
    QWidget::mouseReleaseEvent(e);
    update();
}

void TAdvCustomGlassButton::keyPressEvent(QKeyEvent *e)
{
    if (e->text() == QLatin1String(" ")) {
        // Every Space character clicks, auto-repeated ones too; no pressed look.
        Click();
        e->accept();
        return;
    }
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers held = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (enter && FActive && held == Qt::NoModifier) {
        Click();
        e->accept(); // consumed: the window's default button never sees it
        return;
    }
    QWidget::keyPressEvent(e); // ignores it: the window's key handling goes on
}

void TAdvCustomGlassButton::focusInEvent(QFocusEvent *e)
{
    QWidget::focusInEvent(e);
    FActive = true;
    update();
}

void TAdvCustomGlassButton::focusOutEvent(QFocusEvent *e)
{
    QWidget::focusOutEvent(e);
    // The button stays its window's focused control while another window is active.
    FActive = window()->focusWidget() == this
              && (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason);
    update();
}

bool TAdvCustomGlassButton::event(QEvent *e)
{
    if (e->type() == QEvent::Shortcut) {
        auto *se = static_cast<QShortcutEvent *>(e);
        if (se->shortcutId() == m_mnemonicId && m_mnemonicId != 0) {
            if (isEnabled() && isVisible() && focusPolicy() != Qt::NoFocus)
                Click();
            return true;
        }
    }
    return QWidget::event(e);
}

void TAdvCustomGlassButton::UpdateMnemonic()
{
    if (m_mnemonicId != 0)
        releaseShortcut(m_mnemonicId);
    m_mnemonicId = 0;
    const QChar key = AcceleratorKey(m_caption, true);
    if (!key.isNull())
        m_mnemonicId = grabShortcut(QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(key.unicode()))));
}

void TAdvCustomGlassButton::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    switch (e->type()) {
    case QEvent::EnabledChange:
        NormaliseState();
        update();
        break;
    case QEvent::FontChange:
        if (m_parentFont)
            m_font->AssignFromWidget(this);
        update();
        break;
    default:
        break;
    }
}

// ------------------------------------------------------------------------ hover

void TAdvCustomGlassButton::MouseEnter()
{
    FMouseInControl = true;
    m_unHotInsideTicks = 0;
    FUnHotTimer->start();
    emit OnMouseEnter(this);
}

void TAdvCustomGlassButton::MouseLeave()
{
    FUnHotTimer->stop();
    FMouseInControl = false;
    emit OnMouseLeave(this);
}

void TAdvCustomGlassButton::enterEvent(QEnterEvent *e)
{
    QWidget::enterEvent(e);
    MouseEnter();
}

void TAdvCustomGlassButton::leaveEvent(QEvent *e)
{
    QWidget::leaveEvent(e);
    MouseLeave();
}

void TAdvCustomGlassButton::ReevaluateHover(const QPointF &pos)
{
    QWidget *top = window();
    const QPoint p = pos.toPoint();
    const bool over = rect().contains(p) && (top == this || top->childAt(mapTo(top, p)) == this);
    if (over)
        MouseEnter();
    else
        MouseLeave();
}

void TAdvCustomGlassButton::UnHotTimerTick()
{
    // Qt tracks the pointer itself and will send the leave event: the poll is only a
    // fallback for a hover Qt does not know of, so it stops at once.
    if (underMouse()) {
        FUnHotTimer->stop();
        return;
    }
    if (rect().contains(mapFromGlobal(QCursor::pos()))) {
        if (++m_unHotInsideTicks >= kUnHotMaxInsideTicks)
            FUnHotTimer->stop();
        return;
    }
    FUnHotTimer->stop();
    FMouseInControl = false;
    if (isEnabled())
        update();
}
