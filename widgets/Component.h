#pragma once
// What every control of the widget set shares: the load state while the window's
// layout is applied, the packed version text, and the shift state of key events.
#include <QAccessible>
#include <QFlags>
#include <QtCore/qnamespace.h>
#include <QString>
#include <QtGlobal>

enum TShiftStateFlag {
    ssShift = 0x01,
    ssAlt = 0x02,
    ssCtrl = 0x04,
    ssLeft = 0x08,
    ssRight = 0x10,
    ssMiddle = 0x20,
    ssDouble = 0x40,
};
Q_DECLARE_FLAGS(TShiftState, TShiftStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TShiftState)

inline TShiftState ShiftStateOf(Qt::KeyboardModifiers m)
{
    TShiftState s;
    if (m & Qt::ShiftModifier) s |= ssShift;
    if (m & Qt::ControlModifier) s |= ssCtrl;
    if (m & Qt::AltModifier) s |= ssAlt;
    return s;
}

class TComponent {
public:
    virtual ~TComponent() = default;

    // True from BeginLoad until Loaded: setters then store without side effects.
    bool ComponentLoading() const { return m_loading; }
    void BeginLoad() { m_loading = true; }
    // Called once after the whole layout has been applied.
    virtual void Loaded() { m_loading = false; }

    // Tells assistive technology of a change, except while loading: no window of the
    // control has been shown yet, so nobody can see it, and setters store without side
    // effects while loading.
    void ReportAccessibility(QAccessibleEvent &&event) const
    {
        if (!m_loading)
            QAccessible::updateAccessibility(&event);
    }

    // "major.minor.release.build" from a number packed one byte each, major highest.
    static QString VersionText(quint32 packed)
    {
        return QStringLiteral("%1.%2.%3.%4")
            .arg((packed >> 24) & 0xFF)
            .arg((packed >> 16) & 0xFF)
            .arg((packed >> 8) & 0xFF)
            .arg(packed & 0xFF);
    }

private:
    bool m_loading = false;
};
