#pragma once
// Counts the paints a widget receives, for tests of what repaints and what does not.
#include <QEvent>
#include <QObject>
#include <QWidget>

class PaintCount : public QObject {
public:
    explicit PaintCount(QWidget *w) { w->installEventFilter(this); }
    int count = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++count;
        return false;
    }
};
