#pragma once
// A simulator on a pty with the one GSM device of the process opened on
// it, for the phone book tests.

#include "gsmcore/link/GSMCorePref.h"
#include "gsmcore/link/GSMDevice.h"
#include "gsmcore/link/Ptr.h"
#include "tests/support/MessageCapture.h"
#include "tools/modemsim/ModemSimulator.h"

#include <gtest/gtest.h>

#include <algorithm>

class DeviceFixture : public ::testing::Test {
protected:
    void StartSimulator(const ModemSimulator::Options& options = {})
    {
        simulator = std::make_unique<ModemSimulator>(options);
        ASSERT_TRUE(simulator->start());
    }
    void OpenDevice()
    {
        pref.m_Port = simulator->devicePath();
        CGSMDevice* raw = CGSMDevice::create(&pref);
        ASSERT_NE(raw, nullptr);
        device = Ptr<CGSMDevice>(raw);
        ASSERT_TRUE(device->init());
    }
    void SetUp() override
    {
        auto handler = std::make_unique<MessageCapture>();
        boxes = handler->boxes;
        CAppMessages::Instance().SetMessageHandler(std::move(handler));
    }
    void TearDown() override
    {
        device.release();
        simulator.reset();
        CAppMessages::Instance().SetMessageHandler(nullptr);
    }
    int CountCommands(const QString& prefix) const
    {
        const QStringList commands = simulator->receivedCommands();
        return int(std::count_if(commands.begin(), commands.end(),
                                 [&](const QString& c) { return c.startsWith(prefix, Qt::CaseInsensitive); }));
    }

    std::unique_ptr<ModemSimulator> simulator;
    CGSMCorePref pref;
    Ptr<CGSMDevice> device;
    std::shared_ptr<std::vector<MessageCapture::Box>> boxes;
};
