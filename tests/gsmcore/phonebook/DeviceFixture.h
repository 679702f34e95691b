#pragma once
// A simulator on a pty with the one GSM device of the process opened on
// it, or a connection to it, for the phone book tests.

#include "gsmcore/link/GSMCorePref.h"
#include "gsmcore/link/GSMDevice.h"
#include "gsmcore/link/Ptr.h"
#include "gsmcore/phonebook/PhoneBookConnection.h"
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
        connection.reset();
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

    // The entries a read gave are the first `count` of the simulator's, field by field.
    static void ExpectFirstEntries(const ExtractorContactArray& entries, const std::vector<ModemSimulator::Entry>& expected,
                                   size_t count)
    {
        ASSERT_EQ(entries.size(), count);
        for (size_t i = 0; i < count; ++i) {
            EXPECT_EQ(entries[i]->m_Index, expected[i].index);
            EXPECT_EQ(entries[i]->m_Name, expected[i].text);
            QString number = QString::fromLatin1(expected[i].number);
            if (expected[i].type == 145 && !number.startsWith(u'+'))
                number.prepend(u'+');
            EXPECT_EQ(entries[i]->m_Number, number);
            EXPECT_EQ(entries[i]->m_MemoryType, MEMORY_SIM);
        }
    }

    std::unique_ptr<ModemSimulator> simulator;
    CGSMCorePref pref;
    Ptr<CGSMDevice> device;
    std::unique_ptr<CPhoneBookConnection> connection;
    std::shared_ptr<std::vector<MessageCapture::Box>> boxes;
};
