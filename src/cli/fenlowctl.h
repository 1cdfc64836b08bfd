#pragma once

#include <QStringList>

class QTextStream;

// Fenlow without a window: each command parses its arguments, calls the engine and start-up as
// the window does, and prints. Exit status: 0 done with no failure, 1 done with failures (each
// on standard error), 2 the command could not run.
namespace Fenlowctl {

enum Status { Done = 0, DoneWithFailures = 1, CouldNotRun = 2 };

// arguments as the process got them, the program's name first.
[[nodiscard]] int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace Fenlowctl
