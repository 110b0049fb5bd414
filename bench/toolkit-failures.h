// Why a failed run of the toolkit command failed, as far as the files tell: each source is opened again
// the way its converter opens it, so that a refusal is told with the reader's own reason and the step it
// stopped at, and the destination is looked at for what keeps a file from being written there.

#pragma once

#include "toolkit-commands.h"

#include <QStringList>

// One line a source, then one for the destination: "PATH: STEP: REASON", or "PATH: read" when the
// source is not what failed.
QStringList FailureReasons(const CommandRun& run);
