#pragma once
// The simulated modem's whole state as a JSON document: identity, power-on
// settings, quirks, phone books with their limits and entries, and the
// message stores. Phone book names are GSM alphabet bytes and are written
// as strings of the same code points (Latin-1), so a 0x00 byte survives as
// "\u0000".

#include <QByteArray>
#include <QString>

class ModemCommandProcessor;

QByteArray SimulatorStateToJson(const ModemCommandProcessor& processor);
// Replaces the state; on any error the processor is left unchanged and
// `error` says what was wrong.
bool SimulatorStateFromJson(const QByteArray& json, ModemCommandProcessor& processor, QString* error);
