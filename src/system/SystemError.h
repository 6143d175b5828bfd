#pragma once

#include <QString>

// The system's own words for an error number (errno, or GetLastError() on Windows), safe to call
// from any thread.
QString systemMessage(int error);
