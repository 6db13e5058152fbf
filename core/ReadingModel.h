#pragma once
// The password and the reading options, and what they read as: the one source the result
// and the dictation view follow. It holds a copy of the password, wiped when let go of.
#include "ReadingComposer.h"

#include <QList>
#include <QObject>
#include <QString>

class TReadingModel : public QObject {
    Q_OBJECT
public:
    explicit TReadingModel(QObject *parent = nullptr);
    ~TReadingModel() override;

    const QString &Password() const { return m_password; }
    void SetPassword(const QString &password);
    const ReadingOptions &Options() const { return m_options; }
    void SetOptions(const ReadingOptions &options);
    // Both at once: one Changed at most, never a reading of the new password under the
    // old options.
    void Set(const QString &password, const ReadingOptions &options);

    // ComposeFullReading of the password under the options.
    const QString &Reading() const { return m_reading; }
    // Each character's share of Reading(), made on request: no view of the window needs
    // them at every key.
    QList<TReadingPiece> Pieces() const { return ReadingPieces(m_password, m_options); }

signals:
    // The password or an option is another: once per setter call that changed anything.
    void Changed();

private:
    void Compose();

    QString m_password;
    ReadingOptions m_options;
    QString m_reading;
};
