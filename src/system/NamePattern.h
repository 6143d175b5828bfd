#pragma once

#include "system/FileSystem.h"

#include <QByteArray>
#include <QList>
#include <QRegularExpression>

// Wildcard patterns such as "*.pce" or "*.pce;*.sgx", matched without regard to case. A pattern
// of the form "*.ext" is matched on the raw name, without decoding it, which keeps a folder of
// many thousands of entries quick to filter.
class NamePattern
{
public:
    explicit NamePattern(const QString& patterns);

    bool matches(const char* name, std::size_t length) const;
    FileSystem::NameFilter filter() const;

private:
    QList<QByteArray> m_suffixes;            // lower-case ".ext" of "*.ext" patterns
    QList<QRegularExpression> m_expressions; // every other pattern
};
