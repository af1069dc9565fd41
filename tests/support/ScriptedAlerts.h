// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "QtPrinters.h"
#include "platform/Alerts.h"

#include <QString>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <ostream>
#include <utility>

namespace calidra {

/// The alert of a privileged script or helper whose digest is not the shipped one.
inline const Alerts::Request TamperAlert{
    u"Privileged operation failed."_qs,
    u"The application seems to have been tampered with. Please reinstall Calidra.\n\n"
    "Continuing may put your computer at severe risk. It is strongly recommended not to "
    "proceed."_qs,
    {u"Cancel"_qs, u"Proceed Anyway"_qs},
    true};

inline void PrintTo(const Alerts::Request& request, std::ostream* out)
{
    *out << (request.critical ? "critical " : "") << '"' << request.messageText.toStdString()
         << "\" / \"" << request.informativeText.toStdString() << "\" ["
         << request.buttonTitles.join(u" | "_qs).toStdString() << ']';
}

/// The alerts of a test: each prompt the test expects, in order, with the
/// button that answers it. A prompt that differs from the next expected one,
/// or comes when none is expected, fails the test; so does an expected prompt
/// still unasked when the object is destroyed.
class ScriptedAlerts : public Alerts
{
public:
    /// Expects `request` next and presses its button titled `answer`, after
    /// running `whileShown`, if given, as if it happened while the alert was
    /// up. An answer that is no button's title leaves the alert without one.
    void expect(const Request& request, const QString& answer,
                std::function<void()> whileShown = {})
    {
        m_prompts.push_back({request, answer, std::move(whileShown)});
    }

    int runAlert(const Request& request) override
    {
        if (m_prompts.empty()) {
            ADD_FAILURE() << "unexpected alert " << testing::PrintToString(request);
            return -1;
        }
        const Prompt prompt = m_prompts.front();
        m_prompts.pop_front();
        EXPECT_EQ(request, prompt.request);
        if (prompt.whileShown) {
            prompt.whileShown();
        }
        return int(request.buttonTitles.indexOf(prompt.answer));
    }

    ~ScriptedAlerts() override
    {
        for (const Prompt& prompt : m_prompts) {
            ADD_FAILURE() << "alert never shown " << testing::PrintToString(prompt.request);
        }
    }

private:
    struct Prompt
    {
        Request request;
        QString answer;
        std::function<void()> whileShown;
    };
    std::deque<Prompt> m_prompts;
};

} // namespace calidra
