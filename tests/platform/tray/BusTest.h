// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "PrivateSessionBus.h"
#include "WaitUntil.h"

#include <gtest/gtest.h>

namespace calidra {

// A test on a session bus of its own, skipped where none starts.
class BusTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!m_bus.failure().isEmpty()) {
            GTEST_SKIP() << m_bus.failure().toStdString();
        }
    }

    PrivateSessionBus m_bus;
};

} // namespace calidra
