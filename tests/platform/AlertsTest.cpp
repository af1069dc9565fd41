// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Alerts.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace calidra {
namespace {

// Shows nothing: notes each alert and, while one is up, asks for another,
// as a command arriving in the alert's event loop would.
struct NestingAlerts : Alerts
{
    int runAlert(const Request& request) override
    {
        shown.append(request.messageText);
        if (shown.size() < 3) {
            nestedAnswers.append(Alerts::run({u"Nested"_qs, {}, {u"OK"_qs}, false}));
        }
        return 0;
    }

    QStringList shown;
    QList<int> nestedAnswers;
};

TEST(AlertsTest, AnAlertAskedForWhileOneIsUpIsNotShown)
{
    NestingAlerts alerts;
    EXPECT_EQ(Alerts::run({u"First"_qs, {}, {u"OK"_qs}, false}), 0);
    EXPECT_EQ(alerts.shown, QStringList{u"First"_qs});
    EXPECT_EQ(alerts.nestedAnswers, QList<int>{-1});
    // Once it is answered, the next one shows.
    EXPECT_EQ(Alerts::run({u"Second"_qs, {}, {u"OK"_qs}, false}), 0);
    EXPECT_EQ(alerts.shown, (QStringList{u"First"_qs, u"Second"_qs}));
}

} // namespace
} // namespace calidra
