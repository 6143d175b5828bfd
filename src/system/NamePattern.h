#pragma once

#include "system/FileSystem.h"

// A name filter for a wildcard pattern such as "*.pce", matched without regard to case. A pattern
// of the form "*.ext" is matched on the raw name, without decoding it, which keeps a folder of
// many thousands of entries quick to filter; any other pattern is matched on the decoded name.
FileSystem::NameFilter namePattern(const QString& pattern);
