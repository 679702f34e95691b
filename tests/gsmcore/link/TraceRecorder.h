#pragma once
// Collects the GsmSession traces of a test, so that cases can check that
// a failure was reported with its text.

#include <QString>
#include <QStringList>

namespace TraceRecorder {
// Installs the recording sink (once per process) and clears what it holds.
void Start();
bool Contains(const QString& text);
int Count(const QString& text);
}  // namespace TraceRecorder
