#pragma once
// Everything the GSM link needs to know about the device and its use: the
// registry key describing the device, port and speed, the device type
// found by identification (or forced), the phone book storage names, the
// short message settings and the timings of key-press dialling.

#include "gsmcore/link/ModulePreferences.h"
#include "gsmcore/link/SharedValue.h"

#include <QString>

class CGSMCorePref : public ModulePreferences {
public:
    CGSMCorePref();
    CGSMCorePref(const CGSMCorePref&) = default;
    CGSMCorePref& operator=(const CGSMCorePref&) = default;

    const wchar_t* getnclassname() const override;
    const wchar_t* getnclass() const override;
    bool isnclass(const wchar_t* name) const override;
    bool isnclassderivedfrom(const wchar_t* name) const override;
    bool load() override;
    bool save() override;
    bool reset() override;
    std::unique_ptr<ModulePreferences> clone() const override;

    // The application's key + "\GsmCore" + "\Devices", and its "\Default".
    static QString GetDeviceBaseKey();
    static QString GetDefaultDeviceKey();
    static QString GetCoreKey();

    QString m_DeviceKey;
    QString m_Port;
    int m_Speed = 9600;
    QString m_ServiceCentre;
    CSharedValue<int> m_SmsMode = 0;  // also read on the reader thread
    int m_KeystrokeTime = 15;
    int m_KeystrokePause = 7;
    int m_KeystrokeSleep = 450;
    CSharedValue<int> m_DeviceType = 0;  // also read on the reader thread
    bool m_DeviceFlag = false;
    QString m_SimStorage;
    QString m_PhoneStorage;
    QString m_SelectedStorage;
};
