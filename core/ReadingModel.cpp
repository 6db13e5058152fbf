#include "ReadingModel.h"

#include "OptionTable.h"
#include "Wipe.h"

#include <utility>

namespace {
bool SameOptions(const ReadingOptions &a, const ReadingOptions &b)
{
    for (const TOptionRow &row : kOptionRows)
        if (a.*row.member != b.*row.member)
            return false;
    return true;
}
} // namespace

TReadingModel::TReadingModel(QObject *parent) : QObject(parent) {}

TReadingModel::~TReadingModel()
{
    WipeString(m_password);
    WipeString(m_reading);
}

void TReadingModel::SetPassword(const QString &password)
{
    Set(password, m_options);
}

void TReadingModel::SetOptions(const ReadingOptions &options)
{
    Set(m_password, options);
}

void TReadingModel::Set(const QString &password, const ReadingOptions &options)
{
    const bool samePassword = password == m_password;
    if (samePassword && SameOptions(options, m_options))
        return;
    if (!samePassword) {
        // The edit wipes the text it lets go of only when nobody else holds it; the last
        // holder may be this model.
        QString previous = std::exchange(m_password, password);
        WipeString(previous);
    }
    m_options = options;
    Compose();
}

void TReadingModel::Compose()
{
    // The reading spells the password out: the one it replaces goes the same way.
    QString previous = std::exchange(m_reading, ComposeFullReading(m_password, m_options));
    WipeString(previous);
    emit Changed();
}
