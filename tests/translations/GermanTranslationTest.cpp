// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtPrinters.h"
#include "platform/Localization.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QTranslator>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace calidra {
namespace {

TEST(GermanTranslationTest, EveryTextIsTranslatedWithTheKeysConversions)
{
    QFile file(QStringLiteral(CALIDRA_GERMAN_SOURCE));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QList<QStringList> messages; // source, translation, type (empty once finished)
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"message")
            messages.append({QString(), QString(), QString()});
        else if (xml.name() == u"source" && !messages.empty())
            messages.back()[0] = xml.readElementText();
        else if (xml.name() == u"translation" && !messages.empty()) {
            messages.back()[2] = xml.attributes().value(u"type"_qs).toString();
            messages.back()[1] = xml.readElementText();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GT(messages.size(), 80);
    for (const QStringList& message : messages) {
        SCOPED_TRACE(message[0].toStdString());
        EXPECT_TRUE(message[2].isEmpty()) << message[2].toStdString();
        EXPECT_FALSE(message[1].trimmed().isEmpty());
        EXPECT_EQ(printfConversions(message[1]), printfConversions(message[0]));
    }
}

TEST(GermanTranslationTest, AGermanLocaleLoadsIt)
{
    QTranslator translator;
    ASSERT_TRUE(translator.load(QLocale(QLocale::German, QLocale::Austria), u"calidra"_qs, u"_"_qs,
                                QStringLiteral(CALIDRA_TRANSLATIONS_DIR)));
    ASSERT_TRUE(QCoreApplication::installTranslator(&translator));
    EXPECT_EQ(localizedString("Quit"), u"Beenden"_qs);
    EXPECT_EQ(localizedFormat("%i weeks"), u"%i Wochen"_qs);
    QCoreApplication::removeTranslator(&translator);
}

} // namespace
} // namespace calidra
