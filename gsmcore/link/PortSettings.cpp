#include "gsmcore/link/PortSettings.h"

#include "support/Format.h"

CPortSettings::CPortSettings()
    : m_PortName(MakeName(1))
{
}

QString CPortSettings::MakeName(int number)
{
    return Format("COM%d:", number);
}

QString CPortSettings::MakeName(const QString& prefix, int number)
{
    return Format("%s%d:", prefix, number);
}
