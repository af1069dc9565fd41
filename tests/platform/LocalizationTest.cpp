// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Localization.h"

#include "QtPrinters.h"

#include <QCoreApplication>
#include <QHash>
#include <QTranslator>
#include <gtest/gtest.h>

#include <tuple>

namespace calidra {
namespace {

// A translation that knows the given texts in the program's context only.
struct FixedTranslator : QTranslator
{
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* key, const char*, int) const override
    {
        return QByteArrayView(context) == TranslationContext ? texts.value(key) : QString();
    }
    QHash<QByteArray, QString> texts;
};

TEST(LocalizationTest, FormatsAreTranslatedOnlyWhenTheirConversionsMatch)
{
    // The key, its translation (null: none), whether the format is translated.
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"%i weeks", "%i Wochen", true},
        {"%i week", "%s Woche", false},
        {"%i days", "Tage", false},
        {"Updating every %1.1f seconds", "Alle %1.2f Sekunden", false},
        {"%i of %1.1f", "%1.1f von %i", false},
        {"%i minutes", nullptr, false},
    };
    FixedTranslator translator;
    for (const auto& [key, translation, formatIsTranslated] : cases) {
        if (translation) {
            translator.texts.insert(key, QString::fromUtf8(translation));
        }
    }
    ASSERT_TRUE(QCoreApplication::installTranslator(&translator));
    for (const auto& [key, translation, formatIsTranslated] : cases) {
        const QString text = QString::fromUtf8(translation ? translation : key);
        EXPECT_EQ(localizedString(key), text) << key;
        EXPECT_EQ(localizedFormat(key), formatIsTranslated ? text : QString::fromUtf8(key)) << key;
    }
    QCoreApplication::removeTranslator(&translator);
}

} // namespace
} // namespace calidra
