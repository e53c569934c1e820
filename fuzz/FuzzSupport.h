#pragma once

// What every harness shares: one offscreen GUI application for the whole
// run, quiet logging (hostile input makes the readers warn on every line,
// which would only slow the run down), a scratch folder of the run's own,
// and the fixtures of the source tree.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace fuzz {

// The input as bytes.
QByteArray bytes(const uint8_t *data, size_t size);

// A folder that lives as long as the process and belongs to it alone.
QString scratchFolder();
// Writes data to name in the scratch folder and answers its path.
QString writeScratch(const QString &name, const QByteArray &data);

// A file of the source tree, such as "tests/data/panels/Conference.kvp".
QString sourcePath(const QString &relative);

// Runs what the input left for the event loop: deferred deletions, zero
// timers, queued calls.
void settle();

// Stops the run with a message: an input broke a rule that must hold
// whatever the input.
[[noreturn]] void violated(const char *rule, const QString &detail = QString());

} // namespace fuzz
