// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtPrinters.h"
#include "platform/Localization.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QTranslator>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <vector>

namespace calidra {
namespace {

struct Message
{
    QString source, translation, type; // type: empty once finished
};

std::vector<Message> messagesIn(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QXmlStreamReader xml(&file);
    std::vector<Message> messages;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"message") {
            messages.emplace_back();
        } else if (xml.name() == u"source" && !messages.empty()) {
            messages.back().source = xml.readElementText();
        } else if (xml.name() == u"translation" && !messages.empty()) {
            messages.back().type = xml.attributes().value(u"type"_qs).toString();
            messages.back().translation = xml.readElementText();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return messages;
}

TEST(GermanTranslationTest, EveryTextIsTranslatedWithTheKeysConversions)
{
    const std::vector<Message> messages = messagesIn(QStringLiteral(CALIDRA_GERMAN_SOURCE));
    EXPECT_GT(messages.size(), 80u);
    for (const Message& message : messages) {
        EXPECT_TRUE(message.type.isEmpty())
            << message.source.toStdString() << " is " << message.type.toStdString();
        EXPECT_FALSE(message.translation.trimmed().isEmpty()) << message.source.toStdString();
        EXPECT_EQ(printfConversions(message.translation), printfConversions(message.source))
            << message.source.toStdString();
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
