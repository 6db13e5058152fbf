#include "Application.h"

#include "Accessible.h"
#include "Colors.h"
#include "DictationView.h"
#include "Exceptions.h"
#include "HandlerGuard.h"
#include "LayoutLoader.h"
#include "MessageBox.h"

namespace {
const QString kDefaultTitle = QStringLiteral("Kanavox");
}

void InstallAccessibility()
{
    Accessibility::InstallFactory({DictationAccessibleInterface});
}

QString FailureReportText(const QString &message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + QLatin1Char('.');
    return message;
}

QString FailureMessage(const std::exception &failure)
{
    if (const auto *e = dynamic_cast<const Exception *>(&failure))
        return e->Message();
    return QString::fromUtf8(failure.what());
}

void ShowFailure(const std::exception &failure)
{
    auto *app = qobject_cast<TKanavoxApplication *>(QCoreApplication::instance());
    const QString caption = app ? app->Title() : kDefaultTitle;
    ShowErrorBox(caption, FailureReportText(FailureMessage(failure)));
}

TKanavoxApplication::TKanavoxApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    // The design puts black text on system colours; a dark desktop scheme would make
    // them dark too.
    setPalette(DesignPalette());
    SetEventExceptionHandler([](const std::exception &e) { ShowFailure(e); });
    InstallAccessibility();
}

TKanavoxApplication::~TKanavoxApplication()
{
    SetEventExceptionHandler({});
}

void TKanavoxApplication::ShowException(const std::exception &failure) const
{
    ShowErrorBox(m_title.isEmpty() ? kDefaultTitle : m_title, FailureReportText(FailureMessage(failure)));
}

bool TKanavoxApplication::notify(QObject *receiver, QEvent *event)
{
    // Handlers bound from the layout already report their own failures; this catches
    // what an event handler of ours lets escape directly.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        ShowException(e);
    } catch (...) {
        ShowException(Exception(QStringLiteral("不明なエラー")));
    }
    return false;
}
