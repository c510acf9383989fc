#include "app/ChangeSince.h"

#include <QCoreApplication>
#include <QLocale>

QString ScanWhenText(int64_t scanTime, const QDateTime& now, const QString& fallback)
{
    if (scanTime <= 0)
        return fallback;
    const QDateTime when = QDateTime::fromSecsSinceEpoch(scanTime);
    const bool thisYear = when.date().year() == now.date().year();
    return QLocale().toString(when,
                              thisYear ? QStringLiteral("d MMM HH:mm") : QStringLiteral("d MMM yyyy HH:mm"));
}

QString SignedBytes(SizeChange change, const BytesText& bytes)
{
    if (change.Bytes == 0)
        return bytes(0);
    return (change.Decrease ? QStringLiteral("-") : QStringLiteral("+"))
        + bytes(static_cast<double>(change.Bytes));
}

QString EntryChangeText(const EntryChange& change, const QString& when, const BytesText& bytes)
{
    if (!change.Known)
        return QString();
    if (change.New)
        return QCoreApplication::translate("ChangeSince", "new since %1").arg(when);
    const SizeChange c = ChangeBetween(change.Then.Apparent, change.Now.Apparent);
    if (c.Bytes == 0)
        return QCoreApplication::translate("ChangeSince", "unchanged since %1").arg(when);
    return QCoreApplication::translate("ChangeSince", "%1 since %2").arg(SignedBytes(c, bytes), when);
}
