#pragma once
// Collects what the GSM core traces, so tests can check the exact texts.

#include <QString>
#include <QStringList>

// Installs the collecting sink once per process, opens every level of
// "GsmSession" and forgets what earlier tests traced.
void StartTraceCapture();
QStringList CapturedTraces();
bool TraceWasCaptured(const QString& text);
