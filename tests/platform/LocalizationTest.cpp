// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Localization.h"

#include "QtPrinters.h"

#include <QCoreApplication>
#include <QHash>
#include <QTranslator>
#include <gtest/gtest.h>

namespace calidra {
namespace {

// A translation that knows the given texts in the program's context only.
class FixedTranslator : public QTranslator
{
public:
    explicit FixedTranslator(QHash<QByteArray, QString> texts) : m_texts(std::move(texts)) {}

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* key, const char*, int) const override
    {
        return QByteArrayView(context) == TranslationContext ? m_texts.value(key) : QString();
    }

private:
    QHash<QByteArray, QString> m_texts;
};

struct Case
{
    const char* name;
    const char* key;
    const char* translation; // null: none
    bool formatIsTranslated;
};

TEST(LocalizationTest, FormatsAreTranslatedOnlyWhenTheirConversionsMatch)
{
    const Case cases[] = {
        {"same conversions", "%i weeks", "%i Wochen", true},
        {"other conversion", "%i week", "%s Woche", false},
        {"missing conversion", "%i days", "Tage", false},
        {"other precision", "Updating every %1.1f seconds", "Alle %1.2f Sekunden", false},
        {"other order", "%i of %1.1f", "%1.1f von %i", false},
        {"no translation", "%i minutes", nullptr, false},
    };
    QHash<QByteArray, QString> texts;
    for (const Case& c : cases) {
        if (c.translation) {
            texts.insert(c.key, QString::fromUtf8(c.translation));
        }
    }
    FixedTranslator translator(texts);
    ASSERT_TRUE(QCoreApplication::installTranslator(&translator));
    for (const auto& [name, key, translation, formatIsTranslated] : cases) {
        const QString text = QString::fromUtf8(translation ? translation : key);
        EXPECT_EQ(localizedString(key), text) << name;
        EXPECT_EQ(localizedFormat(key), formatIsTranslated ? text : QString::fromUtf8(key)) << name;
    }
    QCoreApplication::removeTranslator(&translator);
}

} // namespace
} // namespace calidra
