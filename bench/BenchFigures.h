#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What the benchmark programs share: the clock, medians, their arguments and the rows they add to
// bench/run's table.
namespace BenchFigures {

// Nanoseconds on the monotonic clock, the clock the stand-in emulator reads as well.
qint64 monotonicNs();
double millisecondsSince(qint64 startNs);

double median(QList<double> values);
double maximum(const QList<double>& values);

// The value that follows `option` on the command line, or `fallback`.
QString optionValue(const QStringList& arguments, const QString& option, const QString& fallback);

// One row of the table: what was measured, the figure, the baseline it is compared with, the
// comparison, the budget, and whether the budget was met. bench/run picks these lines out of the
// program's output by their first field.
void printRow(const QString& measure, const QString& figure, const QString& baseline,
              const QString& comparison, const QString& budget, const QString& verdict);

// The verdict for a figure with a budget.
QString verdict(bool met);
// The verdict for a figure shown for information, without a budget.
const QString NoBudget = QStringLiteral("-");

QString milliseconds(double value);

} // namespace BenchFigures
