#pragma once

#include "system/Result.h"

#include <QString>

// The names by which Windows programs under Wine reach Linux files. These follow Wine's own rules,
// so that the path a Windows program is given is one that Wine takes to the very file: how it
// decodes a Linux name, which names Windows programs may use as they stand, the 8.3 name it makes
// up for the others, and which names Windows takes for devices.
namespace Wine {

// The path by which a Windows program under Wine reaches the file or folder at the absolute Linux
// `path`: on drive Z:, with backslashes. A part goes by its own name where Windows programs can
// use it, else by the 8.3 short name Wine makes up for it: a name that is not valid UTF-8, that
// holds * ? < > | " \ or a control character, or that ends in a dot or a blank. A path whose last
// part Windows would take for a device (NUL, CON.PCE) begins with \\?\, which Windows takes as it
// stands. Fails when a part has no usable name: a control character in a plain 8.3 name, or a
// control character, colon or backslash among the characters its short name keeps.
Result<QString> windowsPath(const QString& path);

// The form in which `argument` reaches a Windows program that Wine starts in `folder` (an absolute
// Linux path): an absolute Linux path by its Windows path, and so is a relative one to an entry in
// `folder` that the program cannot reach as it stands (a part it cannot use as it is, or a last
// part that Windows takes for a device); anything else, a flag for one, as it is.
Result<QString> windowsArgument(const QString& argument, const QString& folder);

} // namespace Wine
