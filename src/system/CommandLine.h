#pragma once

#include <QString>
#include <QStringList>

// One command line as a single string, read the way Windows programs read their own: white space
// separates arguments, double quotes group them, and a backslash escapes a quote. Using these rules
// everywhere means that one string stands for the same argument list on every platform.
namespace CommandLine {

// Splits a line into the program (first element) and its arguments. The program name takes no
// escapes: it runs to the first blank, or between the quotes when it starts with one.
QStringList split(const QString& line);

// The argument as it must be written so that split() gives it back unchanged: as it is when it
// holds no white space or double quote, otherwise wrapped in quotes with the quote and the
// backslashes in front of it escaped. An empty argument becomes "".
QString quote(const QString& argument);

// A path the user chose or typed, as it goes onto a line: empty stays empty, so that it adds
// nothing; one that already stands in double quotes, with none inside, stays as the user quoted
// it; anything else as quote() writes it.
QString quoteTyped(const QString& path);

} // namespace CommandLine
