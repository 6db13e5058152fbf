#pragma once
// The application object: its title captions every failure report, and any failure that
// escapes an event handler is shown in an error box while the program goes on running.
#include <QApplication>
#include <exception>

class TKanavoxApplication : public QApplication {
    Q_OBJECT
public:
    TKanavoxApplication(int &argc, char **argv);
    ~TKanavoxApplication() override;

    QString Title() const { return m_title; }
    void SetTitle(const QString &title) { m_title = title; }

    // Shows `failure` in an error box captioned with the title.
    void ShowException(const std::exception &failure) const;

    bool notify(QObject *receiver, QEvent *event) override;

private:
    QString m_title;
};

// What assistive technology sees of the program: the widget set's interfaces and the
// dictation view's, made by one factory. The application object installs it; a test
// without one calls it once a QApplication exists.
void InstallAccessibility();

// The text of a failure report: the message, with "." appended when its last character's
// code is above that of ".".
QString FailureReportText(const QString &message);
// The message of any failure (ours carry a QString, others a UTF-8 what()).
QString FailureMessage(const std::exception &failure);
// Shows a failure as the running application does (usable before or without one).
void ShowFailure(const std::exception &failure);
