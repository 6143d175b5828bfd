#include "BenchFigures.h"

#include <QTextStream>

#include <algorithm>
#include <ctime>

namespace BenchFigures {

qint64 monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

double millisecondsSince(qint64 startNs)
{
    return (monotonicNs() - startNs) / 1e6;
}

double median(QList<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double maximum(const QList<double>& values)
{
    return values.isEmpty() ? 0 : *std::max_element(values.begin(), values.end());
}

QString optionValue(const QStringList& arguments, const QString& option, const QString& fallback)
{
    const qsizetype at = arguments.indexOf(option);
    return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1] : fallback;
}

void printRow(const QString& measure, const QString& figure, const QString& baseline,
              const QString& comparison, const QString& budget, const QString& verdict)
{
    QTextStream out(stdout);
    out << QStringList{QStringLiteral("ROW"),
                       measure,
                       figure,
                       baseline,
                       comparison,
                       budget,
                       verdict}
               .join(u'\t')
        << Qt::endl;
}

QString verdict(bool met)
{
    return met ? QStringLiteral("met") : QStringLiteral("NOT MET");
}

QString milliseconds(double value)
{
    return QString::number(value, 'f', 2) + QStringLiteral(" ms");
}

} // namespace BenchFigures
