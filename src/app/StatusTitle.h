#pragma once

#include <QFont>
#include <QIcon>
#include <QString>

namespace calidra {

/// What the status item shows: a text in a font, and an icon (a null icon
/// for none).
struct StatusTitle
{
    QString text;
    QFont font;
    QIcon image;
};

} // namespace calidra
