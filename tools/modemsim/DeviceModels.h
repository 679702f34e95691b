#pragma once
// The device types that the phone book manager tells apart by the modem's
// +CGMM answer, each with a model answer that identifies as that type and
// the phone book storages such a device offers. One table, so a new type
// is one row.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

struct DeviceModel {
    int type = 0;
    QString model;          // the +CGMM answer; lines separated by "\n"
    QStringList storages;   // phone book storages offered, in +CPBS=? order
    QString description;    // for --help and listings
};

// The model of a device type (1 to 21), nothing for an unknown type.
// Type 0 is the unidentified modem.
std::optional<DeviceModel> DeviceModelForType(int type);
// Every row, ordered by type.
const std::vector<DeviceModel>& DeviceModelTable();
