#pragma once
// A simulator on a pty with the one GSM device of the process opened on
// it, for the phone book tests.

#include "gsmcore/link/GSMCorePref.h"
#include "gsmcore/link/GSMDevice.h"
#include "gsmcore/link/Ptr.h"
#include "tests/support/MessageCapture.h"
#include "tools/modemsim/ModemSimulator.h"

#include <gtest/gtest.h>

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
        int n = 0;
        for (const QString& c : simulator->receivedCommands())
            n += c.startsWith(prefix, Qt::CaseInsensitive) ? 1 : 0;
        return n;
    }

    std::unique_ptr<ModemSimulator> simulator;
    CGSMCorePref pref;
    Ptr<CGSMDevice> device;
    std::shared_ptr<std::vector<MessageCapture::Box>> boxes;
};
